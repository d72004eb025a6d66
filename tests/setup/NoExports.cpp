// A loadable library without the add-in's entry points.
extern "C" __attribute__((visibility("default"))) int OrvikSomethingElse(void)
{
    return 1;
}
