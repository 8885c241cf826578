#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Strong encryption of one entry in WinZip's AES form: keys from PBKDF2-HMAC-SHA1
// (1,000 rounds) over the password and a per-entry salt, AES in counter mode with a
// little-endian block counter starting at 1, and HMAC-SHA1 over the ciphertext, of
// which the first 10 bytes follow the data. Stored before the data: salt, then a
// 2-byte password verifier. Every primitive is OpenSSL's libcrypto; nothing here
// does cryptography by hand.
//
// One object handles one entry at a time: Begin..., any number of Encrypt/Decrypt
// calls of any sizes, then FinishEncryption or CheckAuthCode, which end the entry and
// wipe its keys. OpenSSL failures and calls out of that order throw CZipException
// (ErrInternal).
class CZipAesCrypt
{
public:
    static constexpr std::size_t VerifierSize = 2;
    static constexpr std::size_t AuthCodeSize = 10;
    // Strength 1, 2, 3: AES-128, -192, -256. Written entries always use the strongest.
    static constexpr int WriteStrength = 3;

    // 8, 12 or 16 bytes by strength; 0 for an unknown strength.
    static std::size_t SaltSize(int strength);
    // Salt and verifier: the bytes stored before the data; 0 for an unknown strength.
    static std::size_t HeaderSize(int strength);

    CZipAesCrypt();
    ~CZipAesCrypt();
    CZipAesCrypt(CZipAesCrypt&&) noexcept;
    CZipAesCrypt& operator=(CZipAesCrypt&&) noexcept;
    CZipAesCrypt(const CZipAesCrypt&) = delete;
    CZipAesCrypt& operator=(const CZipAesCrypt&) = delete;

    // Starts an entry with a fresh salt from the system's cryptographic random source;
    // returns salt + verifier, the bytes to store before the data.
    std::string BeginEncryption(const std::string& password, int strength = WriteStrength);
    // Encrypts in place, then authenticates the ciphertext.
    void Encrypt(char* data, std::size_t size);
    // Ends the entry; returns the AuthCodeSize-byte authentication code.
    std::string FinishEncryption();

    // Starts reading an entry whose stored `header` holds HeaderSize(strength) bytes
    // (salt + verifier). False, with nothing started, when the verifier shows a
    // wrong password; a wrong password passes it once in 65,536 tries, and then the
    // authentication code fails.
    bool BeginDecryption(const std::string& password, int strength, const char* header);
    // Authenticates the ciphertext, then decrypts it in place.
    void Decrypt(char* data, std::size_t size);
    // Ends the entry; true when `code` (AuthCodeSize bytes) matches the ciphertext
    // seen. Compared in constant time so the comparison reveals nothing of the code.
    bool CheckAuthCode(const char* code);

    // True between Begin... and the end of the entry.
    bool IsActive() const;

private:
    // The OpenSSL contexts and the keystream of the entry under way; held apart so a
    // move hands them over without copying key material.
    struct State;

    // Derives the entry's keys and sets up its contexts; `verifier` receives the
    // password verifier the keys come with.
    static std::unique_ptr<State> Start(const std::string& password, int strength,
                                        const std::string& salt, std::string& verifier);
    void Crypt(char* data, std::size_t size);
    void Authenticate(const char* data, std::size_t size);
    std::string FinishAuthentication();
    State& Active() const;

    std::unique_ptr<State> m_state;
};
