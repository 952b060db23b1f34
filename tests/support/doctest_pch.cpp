// Holds the precompiled headers the doctest programs share; never run (its
// main is doctest's).
