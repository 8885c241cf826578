#include "ZipAesCrypt.h"

#include "ZipException.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/params.h>
#include <openssl/rand.h>

#include <algorithm>
#include <array>
#include <climits>

namespace {

constexpr int Iterations = 1000;
constexpr std::size_t BlockSize = 16;
// Keystream for this many blocks is made per call into AES, so small writes do not
// each pay for a cipher call.
constexpr std::size_t KeystreamBlocks = 64;
constexpr std::size_t MaxKeySize = 32;
constexpr std::size_t MacSize = 20;

[[noreturn]] void Fail()
{
    throw CZipException(CZipException::ErrInternal);
}

void Check(int result)
{
    if (result != 1)
        Fail();
}

std::size_t KeySize(int strength)
{
    return strength >= 1 && strength <= 3 ? 8 + 8 * static_cast<std::size_t>(strength) : 0;
}

// Counter mode is built on ECB because WinZip counts blocks little-endian, which
// OpenSSL's own counter mode (big-endian) does not.
const EVP_CIPHER* EcbCipher(int strength)
{
    switch (strength) {
    case 1:
        return EVP_aes_128_ecb();
    case 2:
        return EVP_aes_192_ecb();
    default:
        return EVP_aes_256_ecb();
    }
}

struct CipherFree
{
    void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
struct MacContextFree
{
    void operator()(EVP_MAC_CTX* context) const { EVP_MAC_CTX_free(context); }
};
struct MacFree
{
    void operator()(EVP_MAC* mac) const { EVP_MAC_free(mac); }
};

// The PBKDF2 output: AES key, HMAC key, verifier. Wiped however the start ends.
struct DerivedKeys
{
    std::array<unsigned char, 2 * MaxKeySize + CZipAesCrypt::VerifierSize> bytes{};
    ~DerivedKeys() { OPENSSL_cleanse(bytes.data(), bytes.size()); }
};

} // namespace

struct CZipAesCrypt::State
{
    std::unique_ptr<EVP_CIPHER_CTX, CipherFree> cipher;
    std::unique_ptr<EVP_MAC_CTX, MacContextFree> mac;
    std::array<unsigned char, BlockSize> counter{};
    std::array<unsigned char, KeystreamBlocks * BlockSize> keystream{};
    std::size_t keystreamUsed = KeystreamBlocks * BlockSize;

    // Keystream XORed with the data reveals the plain text, so it goes with the keys.
    ~State() { OPENSSL_cleanse(keystream.data(), keystream.size()); }

    void IncrementCounter()
    {
        for (unsigned char& byte : counter)
            if (++byte != 0)
                break;
    }

    void RefillKeystream()
    {
        for (std::size_t block = 0; block < KeystreamBlocks; ++block) {
            IncrementCounter();
            std::copy(counter.begin(), counter.end(), keystream.begin() + block * BlockSize);
        }
        int written = 0;
        Check(EVP_EncryptUpdate(cipher.get(), keystream.data(), &written, keystream.data(),
                                static_cast<int>(keystream.size())));
        if (static_cast<std::size_t>(written) != keystream.size())
            Fail();
        keystreamUsed = 0;
    }
};

std::size_t CZipAesCrypt::SaltSize(int strength)
{
    return KeySize(strength) / 2;
}

std::size_t CZipAesCrypt::HeaderSize(int strength)
{
    return KeySize(strength) ? SaltSize(strength) + VerifierSize : 0;
}

CZipAesCrypt::CZipAesCrypt() = default;
CZipAesCrypt::~CZipAesCrypt() = default;
CZipAesCrypt::CZipAesCrypt(CZipAesCrypt&&) noexcept = default;
CZipAesCrypt& CZipAesCrypt::operator=(CZipAesCrypt&&) noexcept = default;

std::string CZipAesCrypt::BeginEncryption(const std::string& password, int strength)
{
    // A fresh salt per entry: the same password then never gives two entries the same
    // keys, so equal keystreams cannot be XORed against each other.
    std::string salt(SaltSize(strength), '\0');
    if (salt.empty())
        Fail();
    Check(RAND_bytes(reinterpret_cast<unsigned char*>(salt.data()), static_cast<int>(salt.size())));
    std::string verifier;
    m_state = Start(password, strength, salt, verifier);
    return salt + verifier;
}

void CZipAesCrypt::Encrypt(char* data, std::size_t size)
{
    Crypt(data, size);
    Authenticate(data, size);
}

std::string CZipAesCrypt::FinishEncryption()
{
    return FinishAuthentication();
}

bool CZipAesCrypt::BeginDecryption(const std::string& password, int strength, const char* header)
{
    m_state.reset();
    if (!KeySize(strength))
        Fail();
    const std::string salt(header, SaltSize(strength));
    std::string verifier;
    auto state = Start(password, strength, salt, verifier);
    if (CRYPTO_memcmp(verifier.data(), header + salt.size(), VerifierSize) != 0)
        return false;
    m_state = std::move(state);
    return true;
}

void CZipAesCrypt::Decrypt(char* data, std::size_t size)
{
    Authenticate(data, size);
    Crypt(data, size);
}

bool CZipAesCrypt::CheckAuthCode(const char* code)
{
    const std::string expected = FinishAuthentication();
    return CRYPTO_memcmp(expected.data(), code, AuthCodeSize) == 0;
}

bool CZipAesCrypt::IsActive() const
{
    return m_state != nullptr;
}

std::unique_ptr<CZipAesCrypt::State> CZipAesCrypt::Start(const std::string& password, int strength,
                                                         const std::string& salt,
                                                         std::string& verifier)
{
    const std::size_t keySize = KeySize(strength);
    if (!keySize || password.size() > INT_MAX)
        Fail();
    DerivedKeys keys;
    const std::size_t derived = 2 * keySize + VerifierSize;
    Check(PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                            reinterpret_cast<const unsigned char*>(salt.data()),
                            static_cast<int>(salt.size()), Iterations, EVP_sha1(),
                            static_cast<int>(derived), keys.bytes.data()));
    auto state = std::make_unique<State>();
    state->cipher.reset(EVP_CIPHER_CTX_new());
    if (!state->cipher)
        Fail();
    Check(EVP_EncryptInit_ex2(state->cipher.get(), EcbCipher(strength), keys.bytes.data(), nullptr,
                              nullptr));
    Check(EVP_CIPHER_CTX_set_padding(state->cipher.get(), 0));

    const std::unique_ptr<EVP_MAC, MacFree> hmac(EVP_MAC_fetch(nullptr, "HMAC", nullptr));
    if (hmac)
        state->mac.reset(EVP_MAC_CTX_new(hmac.get()));
    if (!state->mac)
        Fail();
    char digest[] = "SHA1";
    const OSSL_PARAM params[] = {OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, digest, 0),
                                 OSSL_PARAM_construct_end()};
    Check(EVP_MAC_init(state->mac.get(), keys.bytes.data() + keySize, keySize, params));

    verifier.assign(reinterpret_cast<const char*>(keys.bytes.data() + 2 * keySize), VerifierSize);
    return state;
}

void CZipAesCrypt::Crypt(char* data, std::size_t size)
{
    State& state = Active();
    while (size > 0) {
        if (state.keystreamUsed == state.keystream.size())
            state.RefillKeystream();
        const std::size_t n = std::min(size, state.keystream.size() - state.keystreamUsed);
        const unsigned char* stream = state.keystream.data() + state.keystreamUsed;
        for (std::size_t i = 0; i < n; ++i)
            data[i] = static_cast<char>(data[i] ^ stream[i]);
        data += n;
        size -= n;
        state.keystreamUsed += n;
    }
}

void CZipAesCrypt::Authenticate(const char* data, std::size_t size)
{
    State& state = Active();
    if (size > 0)
        Check(EVP_MAC_update(state.mac.get(), reinterpret_cast<const unsigned char*>(data), size));
}

std::string CZipAesCrypt::FinishAuthentication()
{
    // The entry ends here whatever happens, so its keys never outlive it.
    const std::unique_ptr<State> state = std::move(m_state);
    if (!state)
        Fail();
    unsigned char mac[MacSize];
    std::size_t length = 0;
    Check(EVP_MAC_final(state->mac.get(), mac, &length, sizeof mac));
    if (length < AuthCodeSize)
        Fail();
    return std::string(reinterpret_cast<const char*>(mac), AuthCodeSize);
}

CZipAesCrypt::State& CZipAesCrypt::Active() const
{
    if (!m_state)
        Fail();
    return *m_state;
}
