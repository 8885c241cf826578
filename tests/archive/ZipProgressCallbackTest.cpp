#include "ZipProgressCallback.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class CRecordingCallback : public CZipProgressCallback
{
public:
    bool Callback(int bytes) override
    {
        m_calls.push_back(bytes);
        return m_processed < m_stopAt;
    }
    std::vector<int> m_calls;
    std::uint32_t m_stopAt = 1000;
};

TEST(ZipProgressCallbackTest, OperatorCountsAndAsksTheCallback)
{
    CRecordingCallback cb;
    cb.m_processed = 77;
    cb.m_total = 5;
    cb.Init("dir\\name.txt", "/home/u/name.txt");
    EXPECT_EQ("dir\\name.txt", cb.m_nameInArchive);
    EXPECT_EQ("/home/u/name.txt", cb.m_externalPath);
    EXPECT_EQ(0u, cb.m_processed);
    EXPECT_EQ(0u, cb.m_total);

    cb.SetTotal(1500);
    EXPECT_TRUE(cb(600));
    EXPECT_TRUE(cb(300));
    EXPECT_FALSE(cb(600)); // past the stop mark: the archive is asked to stop
    EXPECT_EQ(1500u, cb.m_processed);
    EXPECT_EQ((std::vector<int>{600, 300, 600}), cb.m_calls);
}

TEST(ZipProgressCallbackTest, TypesAreSingleBitsWithinTheMask)
{
    const int types[] = {CZipProgressCallback::CbAdd,         CZipProgressCallback::CbAddTemp,
                         CZipProgressCallback::CbAddStore,    CZipProgressCallback::CbExtract,
                         CZipProgressCallback::CbDeleteCount, CZipProgressCallback::CbDelete,
                         CZipProgressCallback::CbTest,        CZipProgressCallback::CbSave,
                         CZipProgressCallback::CbReplace};
    int all = CZipProgressCallback::CbReserved1 | CZipProgressCallback::CbReserved2;
    for (int type : types) {
        EXPECT_EQ(0, type & (type - 1)) << type;
        EXPECT_EQ(0, all & type) << type;
        all |= type;
    }
    EXPECT_EQ(CZipProgressCallback::CbAll, all);
    EXPECT_EQ(256, CZipProgressCallback::CallbackStep);
}

} // namespace
