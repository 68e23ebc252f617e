// The service pages opened in the browser, with the signed query.
#pragma once

#include <cstdint>
#include <string>

// The signature's time value: the date value shifted right by 10 bits.
std::string SignatureTime(int64_t dateValue);
std::string BuildSignedQuery(const std::string& t);
void OpenUrl(const std::string& url);
void SetMyLocation();
void RegisterSoftware();
void ShowFullChart();
void OpenOnlineHelp();
void OpenHomePage();
