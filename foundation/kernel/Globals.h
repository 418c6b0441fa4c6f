// The library's module-wide objects, built together on first use so that
// classes may register from any static initialiser, in any order. At exit
// the thread module waits for counted threads before any of them is
// destroyed.
#pragma once

struct FoundationGlobals;

FoundationGlobals& GetFoundationGlobals();
