// Forced into every source of a ThreadSanitizer build. This compiler's
// ThreadSanitizer does not know pthread_cond_clockwait, which libstdc++ uses
// for timed waits on a condition variable: it would miss the mutex taken again
// inside the wait and report races on everything that mutex guards. Without
// this setting libstdc++ waits with pthread_cond_timedwait, which it knows.
#include <bits/c++config.h>
#undef _GLIBCXX_USE_PTHREAD_COND_CLOCKWAIT
