// Bound to the Linux web platform once it is in place.
