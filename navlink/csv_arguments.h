#pragma once
// Argument lines of the navigation-server link: one line of text fields, each
// followed by the separator ("a|b|"). CCsvArguments builds such a line with Add
// and splits a received line in place with Parse; Get then points into the line.

#include <cstdint>

class MArguments {
 public:
  virtual ~MArguments() = default;
  virtual void Clear() = 0;
  virtual void Add(const char* text) = 0;
  // The line in use: written out as it stands, or filled by a reader.
  virtual char* Line() = 0;
  virtual void Parse() = 0;
  virtual int32_t Count() const = 0;
  // The field's text, or null outside 0 .. Count() - 1.
  virtual const char* Get(int32_t index) const = 0;
  // Clear, then a heap line of exactly size bytes (empty). 1 when allocated, else 0.
  virtual int Reserve(int32_t size) = 0;
};

// Base of the link's objects.
class CSdkBase {
 public:
  virtual ~CSdkBase() = default;
};

class CCsvArguments : public MArguments, public CSdkBase {
 public:
  static constexpr int32_t kInlineLineSize = 1024;
  static constexpr int32_t kInlineFields = 32;
  // More pieces than this take the heap field table.
  static constexpr int32_t kInlinePieces = 31;
  static constexpr int32_t kGrowthStep = 1024;

  explicit CCsvArguments(char separator);
  ~CCsvArguments() override;
  CCsvArguments(const CCsvArguments&) = delete;
  CCsvArguments& operator=(const CCsvArguments&) = delete;

  void Clear() override;
  // An argument that cannot be stored (no memory, or a line beyond 2 GiB) is
  // refused and the line stays as it was. Adding drops the parsed fields.
  void Add(const char* text) override;
  char* Line() override;
  // A failed field-table allocation leaves no fields.
  void Parse() override;
  int32_t Count() const override { return iFieldCount; }
  const char* Get(int32_t index) const override;
  int Reserve(int32_t size) override;

  // Size in bytes of the line in use.
  int32_t LineCapacity() const { return iHeapLine ? iHeapCapacity : kInlineLineSize; }
  bool HasHeapLine() const { return iHeapLine != nullptr; }
  bool HasHeapFieldTable() const { return iHeapFields != nullptr; }

 private:
  // Length of the line in use; a line left without a NUL is cut at its last byte.
  int32_t LineLength();

  char iInlineLine[kInlineLineSize];
  char* iHeapLine = nullptr;
  int32_t iHeapCapacity = 0;
  char* iInlineFields[kInlineFields];
  char** iHeapFields = nullptr;
  int32_t iHeapFieldsSize = 0;
  int32_t iFieldCount = 0;
  char iSeparator;
};
