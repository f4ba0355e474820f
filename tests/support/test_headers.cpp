// Compiled only to build the test programs' shared precompiled header.
