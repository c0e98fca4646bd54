#include "shared/Folders.h"

#include "foundation/Bundle.h"
#include "foundation/FileManager.h"
#include "shared/Logging.h"

std::optional<URL> documentsURL;
std::optional<URL> resourcesURL;
std::optional<URL> sharedURLAudio;
std::optional<URL> sharedURLMIDI;

void getPaths() {
    const auto documents = FileManager::defaultManager().documentDirectoryURLs();
    documentsURL = documents.empty() ? std::nullopt : std::optional<URL>(documents.front());
    if (documentsURL)
        safeprint("AudioUnitViewController::getPaths() : Audio Unit's documents path is: " + documentsURL->path());
    else
        safeprint("AudioUnitViewController::getPaths() : ERROR: Audio Unit's documents path is nil.");

    resourcesURL = Bundle::main().resourceURL();
    if (resourcesURL)
        safeprint("AudioUnitViewController::getPaths() : Audio Unit's resources path is: " + resourcesURL->path());
    else
        safeprint("AudioUnitViewController::getPaths() : ERROR: Audio Unit's resources path is nil.");
}

bool ensureDirectoryExists(const URL& url) {
    // Only a folder counts: a plain file at the path is a failure, not success.
    NSError error;
    if (FileManager::defaultManager().createDirectory(url.path(), true, &error)) return true;
    debugprint("ensureDirectoryExists() : ERROR: Creating required directory '" + url.path() +
               "' failed: " + error.localizedDescription);
    return false;
}
