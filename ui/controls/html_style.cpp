#include "html_style.h"

void HtmlStyle::ResetForLayout()
{
    const int keptWidth = width;
    const int keptHeight = height;
    const int keptThickness = ruleThickness;
    *this = HtmlStyle();
    width = keptWidth;
    height = keptHeight;
    ruleThickness = keptThickness;
}

void HtmlStyleStack::Push(HtmlStyle& current, std::wstring_view styleName)
{
    current.name.assign(styleName);
    m_records.push_back(current);
}

bool HtmlStyleStack::PopMatching(std::wstring_view styleName, HtmlStyle& current)
{
    bool popped = false;
    if (!m_records.empty() && m_records.back().name == styleName) {
        current = std::move(m_records.back());
        m_records.pop_back();
        popped = true;
    }
    current.name.clear();
    return popped;
}

void HtmlStyleStack::Truncate(size_t size)
{
    if (m_records.size() > size) {
        m_records.resize(size);
    }
}
