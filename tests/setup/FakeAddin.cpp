// A stand-in for the add-in library, for tests that check which entry point the
// set-up tools call and when: each call is appended to the file named by
// ORVIK_FAKE_ADDIN_LOG; ORVIK_FAKE_ADDIN_RESULT (hex) is the result, 0 without it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {
int32_t Record(const char* what)
{
    if (const char* log = std::getenv("ORVIK_FAKE_ADDIN_LOG")) {
        if (FILE* f = std::fopen(log, "a")) {
            std::fprintf(f, "%s\n", what);
            std::fclose(f);
        }
    }
    const char* result = std::getenv("ORVIK_FAKE_ADDIN_RESULT");
    return result ? static_cast<int32_t>(std::strtoul(result, nullptr, 16)) : 0;
}
} // namespace

extern "C" __attribute__((visibility("default"))) int32_t DllRegisterServer(void)
{
    return Record("DllRegisterServer");
}

extern "C" __attribute__((visibility("default"))) int32_t DllUnregisterServer(void)
{
    return Record("DllUnregisterServer");
}
