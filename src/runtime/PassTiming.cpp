#include "runtime/PassTiming.hpp"

PassObserver* passObserver = nullptr;

namespace
{
// Passes open now; only the outermost one is reported.
int openPasses = 0;
} // namespace

TimedPass::TimedPass(const char* name, const char* detail)
    : name(name), detail(detail), reported(passObserver != nullptr && openPasses == 0)
{
    ++openPasses;
    if (reported)
        passObserver->passBegins();
}

TimedPass::~TimedPass()
{
    --openPasses;
    // The observer may have been taken away while the pass ran; then nothing is told.
    if (reported && passObserver)
        passObserver->passEnds(name, detail);
}
