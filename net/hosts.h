// Hosts of the network service, chosen when the program is built.
#pragma once

extern const char* const kWebHost;    // service pages
extern const char* const kErrorHost;  // the page shown when no signature can be made
extern const char* const kPushHost;   // receives the per-minute reports
