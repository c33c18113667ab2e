// The floor for a whole-process start-up measurement: a C++ program that does
// nothing, compiled and linked like the shipped programs.
int main() { return 0; }
