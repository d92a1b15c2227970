#include "emu/master_role.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

CMasterRole::~CMasterRole() {
  if (iShared != nullptr) munmap(const_cast<int32_t*>(iShared), sizeof(int32_t));
  if (iFd >= 0) close(iFd);
}

bool CMasterRole::Create(const std::string& runDir) {
  const std::string path = runDir + "/uipidshm";
  iFd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (iFd < 0) return false;
  const int32_t none = 0;
  if (write(iFd, &none, sizeof none) != sizeof none) return false;
  void* p = mmap(nullptr, sizeof(int32_t), PROT_READ | PROT_WRITE, MAP_SHARED, iFd, 0);
  if (p == MAP_FAILED) return false;
  iShared = static_cast<int32_t*>(p);
  return true;
}

void CMasterRole::SetActive(int32_t pid) {
  if (iShared != nullptr) *iShared = pid;
}

int32_t CMasterRole::Active() const { return iShared != nullptr ? *iShared : 0; }
