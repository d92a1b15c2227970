#include "app/server_link.h"

#include <new>

namespace {
MZelkonCommunicationLayerInterface* gLayer = nullptr;
ServerClient* gClient = nullptr;
FileLayerFactory gFactory = CreateFileLayer;
}  // namespace

bool OpenServerLink() {
  if (gLayer == nullptr) {
    gLayer = gFactory("client", "ZelkonNavigationServer", -1, 0);
    if (gLayer == nullptr) return false;
  }
  if (gClient == nullptr) {
    gClient = new (std::nothrow) ServerClient{gLayer};
    if (gClient == nullptr) return false;
  }
  return true;
}

void CloseServerLink() {
  delete gClient;
  gClient = nullptr;
  delete gLayer;
  gLayer = nullptr;
}

bool ServerLinkIsOpen() { return gLayer != nullptr && gClient != nullptr; }

void SetFileLayerFactoryForTesting(FileLayerFactory factory) {
  gFactory = factory != nullptr ? factory : CreateFileLayer;
}
