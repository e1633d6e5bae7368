// A library that loads but has no editor entry.
extern "C" __attribute__((visibility("default"))) int NotTheEditorEntry() {
  return 1;
}
