#pragma once
// The link to the navigation server, opened at start-up and kept until the
// exit step: a file layer and the client record made on it.

#include "navlink/file_layer.h"

// The client record; the application only makes and frees it.
struct ServerClient {
  MZelkonCommunicationLayerInterface* layer;
};

// True when the layer and the client record exist afterwards.
bool OpenServerLink();
// Frees the record, then the layer; safe when nothing is open.
void CloseServerLink();
// Whether both exist.
bool ServerLinkIsOpen();

// Test seam: what makes the layer, CreateFileLayer unless set (null puts it
// back). The layer fails to come only when memory runs out, which a test
// cannot arrange otherwise.
using FileLayerFactory = MZelkonCommunicationLayerInterface* (*)(const char* ownName, const char* peerName,
                                                                 int32_t processId, int32_t unused);
void SetFileLayerFactoryForTesting(FileLayerFactory factory);
