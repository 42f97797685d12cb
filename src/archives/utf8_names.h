// libarchive gives a member's name in UTF-8 only by way of the C library's character set: a 7z holds its
// names in UTF-16, which the library converts to the thread's locale, and a program started in the "C"
// locale would get no name at all for "Ärger.gb". While an archive is read, the thread's character set is
// UTF-8 (POSIX); on Windows the library converts through the system's wide text and needs nothing.
#pragma once

namespace romc {

class Utf8Names {
  public:
    Utf8Names();
    ~Utf8Names();
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

  private:
    [[maybe_unused]] void* previous_ = nullptr; // the thread's locale before (POSIX only)
    [[maybe_unused]] void* utf8_ = nullptr;
};

} // namespace romc
