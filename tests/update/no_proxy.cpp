// Requests to the tests' own servers on 127.0.0.1 never go through a proxy that the machine
// running the tests may have configured.

#include <cstdlib>

namespace {

const bool kDirect = [] {
    setenv("no_proxy", "127.0.0.1,localhost", 1);
    return true;
}();

}  // namespace
