// The image section of the job: the storage "@Images-Individual" with the image list "@List".
#include "TheDocument.h"

#include "ArchiveException.h"
#include "ArchivePrimitives.h"
#include "ArchiveStream.h"

namespace {

constexpr int ImageListSchemaLine = 1198;

template <class T>
class Held {
public:
    explicit Held(T* object) : object(object) {}
    ~Held() {
        if (object != nullptr) object->Release();
    }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;
    T* get() const { return object; }

private:
    T* object;
};

}  // namespace

IStorage* CTheDocument::OpenImagesStorage() { return OpenChildStorage(storage, "@Images-Individual", !readOnly); }

void CTheDocument::LoadImages() {
    if (!StorageHasStorage(storage, "@Images-Individual")) return;
    Held<IStorage> section(OpenChildStorage(storage, "@Images-Individual", false));
    if (!StorageHasStream(section.get(), "@List")) return;
    Held<IStream> stream(OpenChildStream(section.get(), "@List", false));
    zvk::ArchiveStream archive(stream.get());
    uint16_t schema = 0;
    zvk::ReadArchiveWord(archive, schema);
    // A list of a newer version is refused rather than read as empty: the next save would wipe it.
    if ((schema >> 8) != 1)
        throw zvk::ArchiveException(zvk::ArchiveException::BadSchema, "DocumentImages", ImageListSchemaLine);
    images.Read(archive);
}

void CTheDocument::SaveImages() {
    CSingleLock lock(&imageStorageLock, TRUE);
    Held<IStorage> section(OpenImagesStorage());
    Held<IStream> stream(OpenChildStream(section.get(), "@List", true));
    zvk::ArchiveStream archive(stream.get());
    archive.Seek(0, 0);
    zvk::WriteArchiveWord(archive, 0x0100);
    images.Write(archive);
    archive.Truncate();
}

void CTheDocument::ClearImages() {
    // The image bitmap cache is emptied here too, once it exists.
    images.Clear();
}
