#pragma once

#include "platform/core/Subscription.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace core {

// Whoever wants to be told of an event, in the order they asked. One told
// may end its own or another's subscription meanwhile: those ended are
// not told any more. A subscription that outlives the list ends quietly.
template <typename... Event>
class ObserverList {
public:
    using Observer = std::function<void(Event...)>;

    [[nodiscard]] Subscription add(Observer observer)
    {
        int id = m_entries->next++;
        m_entries->byId.emplace(id, std::move(observer));
        std::weak_ptr<Entries> entries = m_entries;
        return Subscription([entries, id] {
            if (auto alive = entries.lock())
                alive->byId.erase(id);
        });
    }

    void tell(const Event&... event) const
    {
        std::vector<int> ids;
        for (const auto& entry : m_entries->byId)
            ids.push_back(entry.first);
        // Kept alive by the copy while it runs, though it may end itself.
        auto entries = m_entries;
        for (int id : ids) {
            auto found = entries->byId.find(id);
            if (found == entries->byId.end())
                continue;
            Observer observer = found->second;
            observer(event...);
        }
    }

private:
    struct Entries {
        std::map<int, Observer> byId;
        int next = 1;
    };
    std::shared_ptr<Entries> m_entries = std::make_shared<Entries>();
};

} // namespace core
