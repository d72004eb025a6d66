// Built into every program and test of a sanitizer build, so that programs the
// tests start with an environment of their own (no LSAN_OPTIONS) know it too:
// the office's UNO runtime keeps its type descriptions and the static type
// objects of the generated headers for the life of the process, made once and
// never freed by design.
extern "C" const char* __lsan_default_suppressions();

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libuno_cppu.so\n"
           "leak:libuno_sal.so\n"
           "leak:libuno_cppuhelpergcc3.so\n"
           "leak:cppu_detail_getUnoType\n"
           "leak:rtl::StaticWithInit\n";
}
