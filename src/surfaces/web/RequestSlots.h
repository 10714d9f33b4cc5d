#pragma once

#include <QString>

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace orinsub::surfaces::web {

/// Which requests still arriving hold a connection, and which one gives way to a newcomer, so
/// that slow requests from any number of addresses never lock a fresh address or a paired
/// device out. Requests not known to come from a paired device take at most Limits::open
/// places, at most Limits::perAddress from one address. A newcomer always gets a place; when
/// there is none, the oldest request gives way (a page's request arrives whole within a round
/// trip, so the oldest is the slowest), taken from the newcomer's own address when that holds
/// its limit, else from the busiest address when that holds at least two more than the
/// newcomer's (no address loses its fair share to busier ones), else from any address. A
/// request that has shown a paired device's cookie holds a place of its own (at most
/// Limits::paired) and never gives way. Key: what the caller tells its requests apart by.
template <typename Key> class RequestSlots
{
public:
    struct Limits
    {
        int open = 32;
        int perAddress = 8;
        int paired = 16;
    };

    explicit RequestSlots(const Limits &limits) : m_limits(limits) {}

    /// Gives the newcomer a place; the request that gave way to it, now removed.
    std::optional<Key> Admit(const Key &key, const QString &address)
    {
        std::optional<Key> evicted;
        const int fromAddress = Count(address);
        if (fromAddress >= m_limits.perAddress)
            evicted = OldestOf(address);
        else if (Count() >= m_limits.open)
            evicted = OldestOf(BusiestAbove(fromAddress + 1));
        if (evicted)
            Remove(*evicted);
        m_requests.push_back({key, address, false});
        return evicted;
    }

    /// The request showed a paired device's cookie: false when those hold all their places.
    bool MarkPaired(const Key &key)
    {
        const auto paired = std::count_if(m_requests.begin(), m_requests.end(),
                                          [](const Request &r) { return r.paired; });
        const auto request = Find(key);
        if (request == m_requests.end() || paired >= m_limits.paired)
            return false;
        request->paired = true;
        return true;
    }
    /// False when the request held no place.
    bool Remove(const Key &key)
    {
        const auto request = Find(key);
        if (request == m_requests.end())
            return false;
        m_requests.erase(request);
        return true;
    }
    bool Contains(const Key &key) const { return Find(key) != m_requests.end(); }
    bool IsPaired(const Key &key) const
    {
        const auto request = Find(key);
        return request != m_requests.end() && request->paired;
    }
    /// The address a request came from, empty for one that holds no place.
    QString AddressOf(const Key &key) const
    {
        const auto request = Find(key);
        return request == m_requests.end() ? QString() : request->address;
    }
    /// Empties the slots; the requests they held.
    std::vector<Key> TakeAll()
    {
        std::vector<Key> keys;
        for (const Request &request : m_requests)
            keys.push_back(request.key);
        m_requests.clear();
        return keys;
    }

private:
    struct Request
    {
        Key key;
        QString address;
        bool paired;
    };

    auto Find(const Key &key)
    {
        return std::find_if(m_requests.begin(), m_requests.end(), Is(key));
    }
    auto Find(const Key &key) const
    {
        return std::find_if(m_requests.begin(), m_requests.end(), Is(key));
    }
    static auto Is(const Key &key)
    {
        return [&key](const Request &request) { return request.key == key; };
    }
    /// Unpaired requests, from address when given.
    int Count(const std::optional<QString> &address = std::nullopt) const
    {
        return static_cast<int>(
            std::count_if(m_requests.begin(), m_requests.end(), [&](const Request &r) {
                return !r.paired && (!address || r.address == *address);
            }));
    }
    /// The oldest unpaired request, from address when given (requests are kept oldest first).
    std::optional<Key> OldestOf(const std::optional<QString> &address = std::nullopt) const
    {
        for (const Request &request : m_requests)
            if (!request.paired && (!address || request.address == *address))
                return request.key;
        return std::nullopt;
    }
    /// The address holding the most unpaired requests when that is more than count.
    std::optional<QString> BusiestAbove(int count) const
    {
        std::map<QString, int> counts;
        for (const Request &request : m_requests)
            if (!request.paired)
                ++counts[request.address];
        const auto busiest =
            std::max_element(counts.begin(), counts.end(),
                             [](const auto &a, const auto &b) { return a.second < b.second; });
        if (busiest == counts.end() || busiest->second <= count)
            return std::nullopt;
        return busiest->first;
    }

    Limits m_limits;
    std::vector<Request> m_requests; // oldest first
};

} // namespace orinsub::surfaces::web
