// The colour layer reaches the open job through two links: the job's colour space and the job's events
// (its colour spaces and an embedded profile's temporary file go when the job closes). Both are set and
// cleared together.
#pragma once

class CTheDocument;

// Makes the document the job of colour-managed drawing; null disconnects.
void ConnectIcmJob(CTheDocument* document);
// Disconnects only when the document is the connected one.
void DisconnectIcmJob(CTheDocument* document);
