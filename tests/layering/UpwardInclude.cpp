// Built only by the layering tests, and each expects the build to fail: the
// header it names belongs to the layer above the library it is built with.
#include UPWARD_HEADER
