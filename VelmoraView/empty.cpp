// Keeps the library non-empty while subsystems are being added.
