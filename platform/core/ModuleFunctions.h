#pragma once

// A module's table lists its library's functions once, as an X-macro
// list, for both sides: the application declares the members with
// VOICENOTES_MODULE_MEMBER, and the module fills them with
// VOICENOTES_MODULE_ENTRY, in the same order. Members keep the functions'
// own names, so a call reads libcurl().curl_easy_init().
// A member's and a type's names cannot stand in parentheses.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define VOICENOTES_MODULE_MEMBER(function) decltype(&::function) function;
#define VOICENOTES_MODULE_ENTRY(function) &::function,

// The table of one module, for the application's side: Name##Table lists
// the functions, Name (a core::ModuleTable) loads it, and accessor() reaches
// a table that Name::load() has opened.
#define VOICENOTES_MODULE_TABLE(Name, accessor, module, FUNCTIONS)                                                     \
    struct Name##Table {                                                                                               \
        static constexpr const char* kModule = module;                                                                 \
        FUNCTIONS(VOICENOTES_MODULE_MEMBER)                                                                            \
    };                                                                                                                 \
    using Name = core::ModuleTable<Name##Table>;                                                                       \
    inline const Name##Table& accessor() { return Name::loaded(); }
// NOLINTEND(bugprone-macro-parentheses)

// What every module exports: its table.
#define VOICENOTES_MODULE_TABLE_SYMBOL "voicenotes_module_table"

// The whole of a module's source: its table, the one symbol it exports.
#define VOICENOTES_MODULE_DEFINITION(Table, FUNCTIONS)                                                                 \
    extern "C" __attribute__((visibility("default"))) const void* voicenotes_module_table()                            \
    {                                                                                                                  \
        static const Table table{FUNCTIONS(VOICENOTES_MODULE_ENTRY)};                                                  \
        return &table;                                                                                                 \
    }
