#include "platform/core/PropertyList.h"

namespace core {

const PropertyList* PropertyList::objectForKey(const std::string& key) const
{
    const Dictionary* entries = dictionary();
    if (!entries)
        return nullptr;
    auto it = entries->find(key);
    return it == entries->end() ? nullptr : &it->second;
}

} // namespace core
