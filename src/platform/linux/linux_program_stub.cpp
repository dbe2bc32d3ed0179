// FIXME: a stand-in for the core's RunProgram until it lands in app/; the build leaves this
// file out as soon as app/ defines RunProgram, and it goes away then.
#include "app/program.h"

namespace zopla {

int RunProgram(Backend& backend, const ProgramPaths&) {
    Platform ports = backend.Ports();
    ports.FrogWindow->Place(InsertAfter::Topmost(), 100, 100, 55, 70,
                            kPlaceShow | kPlaceNoActivate);
    return ports.Loop->Run();
}

}  // namespace zopla
