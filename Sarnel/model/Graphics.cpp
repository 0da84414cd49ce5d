#include "Graphics.h"

Graphics::Graphics()
    : LibraryCollection(
          {GraphicsSourceFile, GraphicsMissingKeyLine, GraphicsEntrySchemaLine, GraphicsListSchemaLine}) {}

const LibraryEntry& Graphics::Get(const CString& key) const {
  auto found = entries.find(key);
  if (found == entries.end()) ThrowMissingKey(GraphicsGetMissingKeyLine);
  return found->second;
}

void ReadGraphicEntry(zvk::Archive& archive, LibraryEntry& entry) {
  ReadLibraryEntry(archive, entry, GraphicsSourceFile, GraphicsEntrySchemaLine);
}
