// placeholder.cpp - keeps the library non-empty until shared code lands.
