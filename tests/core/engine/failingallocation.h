#pragma once

namespace tarvo::test {

// Memory running out, for the failures that are no database error: while an
// object lives, the first allocation through operator new throws
// std::bad_alloc. Linking failingallocation.cpp replaces the program's
// operator new.
class NextAllocationFails {
public:
    NextAllocationFails();
    ~NextAllocationFails();
    NextAllocationFails(const NextAllocationFails&) = delete;
    NextAllocationFails& operator=(const NextAllocationFails&) = delete;
};

} // namespace tarvo::test
