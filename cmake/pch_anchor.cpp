// Anchors the shared precompiled header; no code of its own.
