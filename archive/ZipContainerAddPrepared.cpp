// AddPreparedFile: a file the add pipeline read and compressed ahead.
#include "ZipContainer.h"
#include "ZipContainerAddPlan.h"

#include "ZipBlockDeflate.h"
#include "ZipException.h"
#include "ZipPreparedFile.h"

bool CZipContainer::AddPreparedFile(const CZipAddInfo& info, CZipPreparedFile& file)
{
    if (!CanAddEntry() || info.m_replaceIndex != CZipAddInfo::AppendIndex)
        return false;
    m_lastChangedSize = false;
    AddPlan plan;
    if (!PlanAdd(info, plan, &file))
        return false;
    plan.size = file.GetSize();
    plan.sizeKnown = true;
    return WritePrepared(plan, file);
}

// The method is the first piece's: stored pieces make a stored entry, compressed
// ones a deflated entry, whose joinable pieces are closed by a final block.
bool CZipContainer::WritePrepared(AddPlan& plan, CZipPreparedFile& file)
{
    CZipProgressCallback* callback = plan.callback;
    CZipPreparedFile::Piece piece;
    bool have = file.NextPiece(piece);
    const bool deflated = have && piece.kind != CZipPreparedFile::PieceStored;
    const bool joined = have && piece.kind == CZipPreparedFile::PieceJoinable;
    m_precompressed = true;
    m_known.set = have && piece.last;
    m_known.crc = piece.crc;
    m_known.compressed = piece.data.size();
    m_known.uncompressed = piece.rawSize;
    const bool opened = OpenNewFile(plan.header, deflated ? plan.level : 0, {}, plan.size);
    m_precompressed = false;
    if (!opened) {
        m_known.set = false;
        if (callback)
            callback->CallbackEnd();
        return false;
    }
    if (callback)
        callback->SetTotal(plan.size);
    std::uint64_t total = 0;
    std::uint32_t crc = 0;
    while (have) {
        total += piece.rawSize;
        m_uncompressed = total;
        CheckEntrySize(total);
        crc = total == piece.rawSize ? piece.crc
                                     : CZipBlockDeflate::CombineCrc(crc, piece.crc, piece.rawSize);
        WritePiece(piece.data);
        const auto reported = static_cast<int>(piece.rawSize);
        have = file.NextPiece(piece);
        if (!have)
            FinishPrepared(joined, total, crc);
        if (callback && !(*callback)(reported))
            HandleAbort(!have, false, callback, plan.info.m_path);
    }
    if (total == 0)
        FinishPrepared(false, 0, 0);
    if (callback)
        callback->CallbackEnd();
    m_lastChangedSize = total != plan.size || file.ChangedWhileRead();
    return true;
}

void CZipContainer::WritePiece(std::string& data)
{
    if (!data.empty())
        EmitData(data.data(), static_cast<std::uint32_t>(data.size()));
}

void CZipContainer::FinishPrepared(bool joined, std::uint64_t total, std::uint32_t crc)
{
    if (joined) {
        std::string end = CZipBlockDeflate::FinalBlock();
        WritePiece(end);
    }
    m_uncompressed = total;
    m_crc = crc;
    CloseNewFile();
}
