// Linked into every program of the sanitizer build, nowhere else.
//
// Mesa unloads its OpenGL driver when the display closes, before the leak check at exit, so
// the few bytes the driver keeps for the whole process are then reported from an "unknown
// module" that no suppression can name. Opening the driver once more with RTLD_NODELETE
// keeps it mapped to the end; the suppression file then names it. All of Mesa's DRI drivers
// are one file under several names, so opening one name keeps whichever the display uses.

#include <dlfcn.h>

namespace
{
struct KeepGlDriverMapped
{
    KeepGlDriverMapped()
    {
        // A machine without this driver simply skips it: the leak check then reports the
        // unknown module, which says where to look.
        dlopen(FLUMBADOO_GL_DRIVER, RTLD_LAZY | RTLD_NODELETE);
    }
};

const KeepGlDriverMapped keepGlDriverMapped;
} // namespace
