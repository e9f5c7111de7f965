#pragma once

#include "browser/store/L1PersistentObjects.h"
#include "platform/core/Prompts.h"
#include "tests/fixtures/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace storetest {

namespace fs = std::filesystem;

inline std::string ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// The message of the exception f raises (of class E), or "" when it raises none.
template <class E = Exception, class F>
std::string MessageOf(F f)
{
    try {
        f();
    } catch (const E &e) {
        return e.Message();
    }
    return {};
}

inline std::string Precondition(const std::string &routine, const std::string &condition)
{
    return PreconditionViolatedText(routine, "The following condition was not satisfied:" + CrLf + condition);
}

// A named object that counts its instances.
struct Counted : TvdNamedPersistentObject {
    static inline int alive = 0;
    Counted() { ++alive; }
    ~Counted() override { --alive; }
};

} // namespace storetest
