#include "CheckStateString.h"

#include "ObjectReader.h"
#include "ObjectWriter.h"

void CCheckStateString::WriteTo(CObjectWriter& out) const
{
    out.WriteString(m_key);
    out.WriteU32(m_state);
}

void CCheckStateString::ReadFrom(CObjectReader& in)
{
    m_key = in.ReadString();
    m_state = in.ReadU32();
}
