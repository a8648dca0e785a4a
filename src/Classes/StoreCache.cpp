#include "Classes/StoreCache.h"

#include "platform/core/FileManager.h"
#include "platform/core/PropertyListSerialization.h"

#include <cerrno>

using core::Error;
using core::FileManager;

core::Expected<StoreCache> StoreCache::read(const std::string& path)
{
    std::optional<core::FileIdentity> identity;
    auto data = FileManager::contentsAtPath(path, &identity);
    if (!data) {
        int error = errno;
        if (error == ENOENT)
            return Error{Error::Kind::NotFound, "there is no data.plist"};
        return Error{Error::Kind::Unreadable,
                     "The file data.plist could not be read: " + FileManager::openFailure(error)};
    }
    auto root = core::PropertyListSerialization::propertyListFromData(*data);
    if (!root)
        return Error{Error::Kind::Unsupported, root.error().words};
    if (!root->array())
        return Error{Error::Kind::Unsupported, "The file data.plist does not hold a list of notes"};
    return StoreCache{path, identity, std::move(*data), std::make_shared<core::PropertyList>(std::move(*root))};
}
