// Parses an invented licence through the installed headers and library and derives one field the way the
// binding does; exits 0 when the library answers as documented.
#include <quorix/parser.h>
#include <quorix/result_fields.h>

#include <cstdio>
#include <string_view>

int main() {
  constexpr std::string_view kLicence =
      "@\n\x1e\rANSI 636014080102DL00410278ZC03190008DLDAQD1234567\nDCSSAMPLE\nDACMICHAEL\nDBB01021980\n"
      "DBA01022030\nDBD01022022\nDBC1\nDAJCA\nDCGUSA\n\rZCZCAX\r";
  quorix::ParserInstance* instance = quorix::createInstance();
  if (instance == nullptr) return 1;
  const quorix::Status status =
      quorix::parseBuffer(instance, kLicence.data(), static_cast<std::int32_t>(kLicence.size()));
  char lastName[64] = "";
  for (const quorix::ResultField& field : quorix::kResultFields) {
    if (field.javaName == "lastName" &&
        field.text(quorix::parsedRecord(*instance), lastName, sizeof lastName) != quorix::kStatusOk) {
      lastName[0] = '\0';
    }
  }
  std::printf("%s status=%d lastName=%s\n", quorix::kVersionText, status, lastName);
  quorix::destroyInstance(instance);
  return status == quorix::kStatusOk && std::string_view(lastName) == "SAMPLE" ? 0 : 1;
}
