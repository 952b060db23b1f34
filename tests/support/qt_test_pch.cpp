// Holds the precompiled Qt headers the Qt Test programs share; never run.
int main() { return 0; }
