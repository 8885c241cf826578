#include "CheckTreeText.h"

#include <cctype>
#include <stdexcept>

namespace treetest {
namespace {

class CTreeParser
{
public:
    CTreeParser(CCheckTreeModel& model, const std::string& text) : m_model(model), m_text(text) {}

    std::map<std::string, TvTreeItem> Parse()
    {
        Items({});
        if (m_pos != m_text.size())
            throw std::invalid_argument("bad tree text: " + m_text);
        return m_names;
    }

private:
    void Items(TvTreeItem parent)
    {
        while (m_pos < m_text.size() && std::isalpha(static_cast<unsigned char>(m_text[m_pos]))) {
            const TvTreeItem item = Item(parent);
            if (Skip('['))
                Items(item);
            if (Skip(']'))
                return;
            Skip(' ');
        }
    }

    TvTreeItem Item(TvTreeItem parent)
    {
        std::string name;
        while (std::isalpha(static_cast<unsigned char>(m_text[m_pos])))
            name += m_text[m_pos++];
        const int state = m_text.at(m_pos++) - '0';
        const TvTreeItem item = m_model.InsertItem(name, parent, kTvItemLast, state);
        if (!item)
            throw std::invalid_argument("bad item in tree text: " + name);
        m_names[name] = item;
        return item;
    }

    bool Skip(char c)
    {
        if (m_pos < m_text.size() && m_text[m_pos] == c) {
            ++m_pos;
            return true;
        }
        return false;
    }

    CCheckTreeModel& m_model;
    const std::string& m_text;
    std::size_t m_pos = 0;
    std::map<std::string, TvTreeItem> m_names;
};

std::string DescribeChildren(const CCheckTreeModel& model, TvTreeItem parent)
{
    std::string text;
    for (TvTreeItem item = model.GetChildItem(parent); item;
         item = model.GetNextSiblingItem(item)) {
        if (!text.empty())
            text += ' ';
        text += model.GetItemText(item) + std::to_string(model.GetItemCheckState(item));
        if (model.ItemHasChildren(item))
            text += '[' + DescribeChildren(model, item) + ']';
    }
    return text;
}

} // namespace

std::map<std::string, TvTreeItem> Build(CCheckTreeModel& model, const std::string& text)
{
    return CTreeParser(model, text).Parse();
}

std::string Describe(const CCheckTreeModel& model)
{
    return DescribeChildren(model, {});
}

} // namespace treetest
