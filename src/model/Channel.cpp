#include "Channel.h"

#include <algorithm>

namespace orinsub::model {

void CChannel::AddDimmer(int d)
{
    for (auto it = m_dimmers.begin(); it != m_dimmers.end(); ++it) {
        if (*it == d)
            return;
        if (*it > d) {
            m_dimmers.insert(it, d);
            return;
        }
    }
    m_dimmers.push_back(d);
}

void CChannel::RemoveDimmer(int d)
{
    auto it = std::find(m_dimmers.begin(), m_dimmers.end(), d);
    if (it != m_dimmers.end())
        m_dimmers.erase(it);
}

} // namespace orinsub::model
