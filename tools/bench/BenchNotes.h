#pragma once

#include <cstddef>
#include <string>

// A note store of any size for the benchmarks, written in one go (saving
// thousands of notes one by one would time the filling, not the figure).
// Every note is the record saveObject makes, each naming its own file
// "/note-<i>.aif", which is not created.
class AppContext;

class BenchNotes {
public:
    static bool fill(AppContext& context, std::size_t count);
    static std::string storePath();
    static std::string audioName(std::size_t index) { return "/note-" + std::to_string(index) + ".aif"; }
};
