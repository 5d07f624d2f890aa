// Without the binding (sanitizer builds run without a JVM) the shared library still needs one translation unit.
namespace quorix {
int libraryAnchor() { return 0; }
}  // namespace quorix
