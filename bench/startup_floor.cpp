// The start-up floor: a program that does nothing, linked as protowrap is (statically on Linux).
// What a run costs before it reads a byte.
int main() {
  return 0;
}
