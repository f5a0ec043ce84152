int Low();

int High() { return Low() + 1; }
