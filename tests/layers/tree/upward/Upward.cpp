// A lower layer calling a layer above it, which it does not link.
int High();

int Upward() { return High(); }
