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
