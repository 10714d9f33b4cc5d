#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace orinsub::model {

/// A console channel (or the spare channel): its caption and the dimmers it drives.
class CChannel
{
public:
    virtual ~CChannel() = default;

    virtual QString GetName() const { return m_name; }
    virtual void SetName(const QString &name) { m_name = name; }
    /// Inserts d in ascending order; does nothing when d is already there. No range check.
    virtual void AddDimmer(int d);
    /// Removes d if present; the other entries keep their order.
    virtual void RemoveDimmer(int d);
    virtual void ClearDimmers() { m_dimmers.clear(); }

    QString m_name;
    std::vector<int32_t> m_dimmers; // ascending, no duplicates (a loaded show may break this)
};

} // namespace orinsub::model
