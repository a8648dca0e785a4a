#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace core {

// A list of records as a JSON array of objects, for other programs to read.
class JsonWriter {
public:
    using Value = std::variant<std::int64_t, std::string>;

    // Starts the next object; the fields added after it go into it.
    void beginObject() { m_objects.emplace_back(); }
    void add(const std::string& key, Value value);
    // Indented, without a final line break; "[\n]" for no objects.
    std::string text() const;

private:
    std::vector<std::vector<std::pair<std::string, Value>>> m_objects;
};

} // namespace core
