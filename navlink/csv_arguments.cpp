#include "navlink/csv_arguments.h"

#include <cstdlib>
#include <cstring>

CCsvArguments::CCsvArguments(char separator) : iSeparator(separator) {
  iInlineLine[0] = '\0';
  std::memset(iInlineFields, 0, sizeof(iInlineFields));
}

CCsvArguments::~CCsvArguments() { Clear(); }

void CCsvArguments::Clear() {
  std::free(iHeapLine);
  iHeapLine = nullptr;
  iHeapCapacity = 0;
  std::free(iHeapFields);
  iHeapFields = nullptr;
  iHeapFieldsSize = 0;
  iInlineLine[0] = '\0';
  iFieldCount = 0;
}

char* CCsvArguments::Line() { return iHeapLine ? iHeapLine : iInlineLine; }

int32_t CCsvArguments::LineLength() {
  char* line = Line();
  const int32_t capacity = LineCapacity();
  const void* nul = std::memchr(line, '\0', static_cast<size_t>(capacity));
  if (!nul) {
    line[capacity - 1] = '\0';
    return capacity - 1;
  }
  return static_cast<int32_t>(static_cast<const char*>(nul) - line);
}

void CCsvArguments::Add(const char* text) {
  if (!text) return;
  const size_t textLength = std::strlen(text);
  const int32_t lineLength = LineLength();
  // Text, separator and NUL must fit: the line may reach capacity - 1 characters.
  const size_t needed = static_cast<size_t>(lineLength) + textLength + 2;
  if (needed > static_cast<size_t>(INT32_MAX - kGrowthStep)) return;

  if (needed > static_cast<size_t>(LineCapacity())) {
    // The first move takes 2,048 bytes and each later growth one step of
    // 1,024; an argument longer than that takes as many steps as it needs.
    int32_t capacity = iHeapLine ? iHeapCapacity + kGrowthStep : 2 * kInlineLineSize;
    while (static_cast<size_t>(capacity) < needed) capacity += kGrowthStep;
    char* grown = static_cast<char*>(std::realloc(iHeapLine, static_cast<size_t>(capacity)));
    if (!grown) return;
    if (!iHeapLine) std::memcpy(grown, iInlineLine, static_cast<size_t>(lineLength) + 1);
    iHeapLine = grown;
    iHeapCapacity = capacity;
  }

  // The fields pointed into the line that is changing now.
  iFieldCount = 0;
  char* end = Line() + lineLength;
  std::memcpy(end, text, textLength);
  end[textLength] = iSeparator;
  end[textLength + 1] = '\0';
}

void CCsvArguments::Parse() {
  char* line = Line();
  const int32_t length = LineLength();
  iFieldCount = 0;
  std::free(iHeapFields);
  iHeapFields = nullptr;
  iHeapFieldsSize = 0;
  if (length == 0) return;

  int32_t pieces = 1;
  for (int32_t i = 0; i < length; ++i) {
    if (line[i] == iSeparator) ++pieces;
  }
  char** table = iInlineFields;
  if (pieces > kInlinePieces) {
    // The table's size in bytes must stay a 32-bit number.
    if (pieces > INT32_MAX / static_cast<int32_t>(sizeof(char*))) return;
    table = static_cast<char**>(std::malloc(sizeof(char*) * static_cast<size_t>(pieces)));
    if (!table) return;
    iHeapFields = table;
    iHeapFieldsSize = static_cast<int32_t>(sizeof(char*)) * pieces;
  }

  int32_t count = 0;
  table[count++] = line;
  for (int32_t i = 0; i < length; ++i) {
    if (line[i] == iSeparator) {
      line[i] = '\0';
      table[count++] = line + i + 1;
    }
  }
  // The piece after the last separator is not a field.
  iFieldCount = count - 1;
}

const char* CCsvArguments::Get(int32_t index) const {
  if (index < 0 || index >= iFieldCount) return nullptr;
  return iHeapFields ? iHeapFields[index] : iInlineFields[index];
}

int CCsvArguments::Reserve(int32_t size) {
  Clear();
  if (size < 1) return 0;
  iHeapLine = static_cast<char*>(std::malloc(static_cast<size_t>(size)));
  if (!iHeapLine) return 0;
  iHeapCapacity = size;
  iHeapLine[0] = '\0';
  return 1;
}
