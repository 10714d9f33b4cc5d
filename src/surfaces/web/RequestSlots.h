#pragma once

#include <QString>

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <vector>

namespace orinsub::surfaces::web {

/// Which requests still arriving hold a connection, and which one gives way to a newcomer, so
/// that slow requests from any number of addresses never lock a fresh address or a paired
/// device out. Requests not known to come from a paired device take at most Limits::open
/// places, at most Limits::perAddress from one address. When there is no place for a newcomer,
/// the oldest request gives way (a page's request arrives whole within a round trip, so the
/// oldest is the slowest):
/// - one of its own address's when that holds its limit;
/// - else one of another address holding more than the newcomer's (any other, while the
///   newcomer's holds fewer than Limits::together: what a page loads at once), unless the
///   newcomer's address has opened more than Limits::connectsPerSecond connections within the
///   second: an address that keeps reconnecting takes free places only, and never pushes anyone
///   out;
/// - else the newcomer is turned away.
/// A request that has shown a paired device's cookie holds a place of its own (at most
/// Limits::paired) and never gives way. Key: what the caller tells its requests apart by.
template <typename Key> class RequestSlots
{
public:
    using Clock = std::chrono::steady_clock;
    struct Limits
    {
        int open = 32;
        int perAddress = 8;
        int paired = 16;
        int connectsPerSecond = 10; // a reconnecting page opens two a second
        int together = 2;           // how many a page asks for at once, at most: its files
    };
    struct Admission
    {
        bool admitted = false;
        std::optional<Key> evicted; // the request that gave way to it, now removed
    };

    explicit RequestSlots(const Limits &limits) : m_limits(limits) {}

    Admission Admit(const Key &key, const QString &address, Clock::time_point now)
    {
        const bool reconnecting = CountConnect(address, now) > m_limits.connectsPerSecond;
        const int fromAddress = Count(address);
        Admission admission;
        if (fromAddress >= m_limits.perAddress) {
            admission.evicted = OldestOf([&](const Request &r) { return r.address == address; });
        } else if (Count() >= m_limits.open) {
            if (!reconnecting)
                admission.evicted = OldestOf([&](const Request &r) {
                    return r.address != address &&
                           (fromAddress < m_limits.together || Count(r.address) > fromAddress);
                });
            if (!admission.evicted)
                return admission;
        }
        if (admission.evicted)
            Remove(*admission.evicted);
        m_requests.push_back({key, address, false});
        admission.admitted = true;
        return admission;
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
    /// The oldest unpaired request that fits (requests are kept oldest first).
    template <typename Fits> std::optional<Key> OldestOf(Fits fits) const
    {
        for (const Request &request : m_requests)
            if (!request.paired && fits(request))
                return request.key;
        return std::nullopt;
    }
    /// Counts a connection from address; how many it has opened within its second. Addresses
    /// quiet for a second are forgotten; past kMaxAddressesSeen at once, every new one counts as
    /// reconnecting.
    int CountConnect(const QString &address, Clock::time_point now)
    {
        constexpr auto kSecond = std::chrono::seconds(1);
        if (now - m_pruned >= kSecond) {
            std::erase_if(m_connects,
                          [&](const auto &seen) { return now - seen.second.since >= kSecond; });
            m_pruned = now;
        }
        const auto seen = m_connects.find(address);
        if (seen != m_connects.end()) {
            if (now - seen->second.since >= kSecond)
                seen->second = {now, 0};
            return ++seen->second.count;
        }
        if (m_connects.size() >= kMaxAddressesSeen)
            return m_limits.connectsPerSecond + 1;
        m_connects.emplace(address, Connects{now, 1});
        return 1;
    }

    static constexpr std::size_t kMaxAddressesSeen = 4096;
    struct Connects
    {
        Clock::time_point since; // the start of the address's second
        int count;
    };
    std::map<QString, Connects> m_connects;
    Clock::time_point m_pruned;
    Limits m_limits;
    std::vector<Request> m_requests; // oldest first
};

} // namespace orinsub::surfaces::web
