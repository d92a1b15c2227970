#include "app/config.h"

#include "app/globals.h"
#include "app/text_file.h"

void ReadConfig() {
  CTextFileReader reader;
  if (!reader.Open(kConfigPath)) return;
  reader.ReadLines(name_filters, ELineRule::kCutAfterCarriageReturn, kMaxConfigBytes);
}
