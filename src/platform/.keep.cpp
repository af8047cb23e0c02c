// Keeps the platform library non-empty while it grows.
