#include "project/project_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "export/export_prompt.h"
#include "project/project_layout.h"
#include "project/project_messages.h"
#include "project/safe_file_write.h"

namespace glyphmill {
namespace {

std::string SystemError(const std::string& what, const std::string& path, int err) {
  return what + " \"" + path + "\": " + std::strerror(err);
}

// An open file descriptor, closed on every path out.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

class FileSource final : public ProjectSource {
 public:
  FileSource(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  Result<std::size_t> read(uint8_t* dst, std::size_t n) override {
    while (true) {
      const ssize_t got = ::read(fd_, dst, n);
      if (got >= 0) return static_cast<std::size_t>(got);
      if (errno == EINTR) continue;
      return Fail(SystemError("Cannot read", path_, errno));
    }
  }

 private:
  int fd_;
  std::string path_;
};

}  // namespace

ProjectLoad LoadProjectFile(const std::string& path, const PluginNames& plugins, Dialogs& dialogs,
                            const StatusCallback& status) {
  const auto failed = [&status](const std::string& message) {
    if (status) status(project_text::LoadFailed(message));
    return ProjectLoad{LoadOutcome::Failed, std::nullopt};
  };
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return failed(SystemError("Cannot open", path, errno));
  FileSource source(fd.get(), path);
  Result<ProjectData, ProjectReadError> read = ParseProject(source, plugins);
  if (!read && read.error().kind == ProjectReadError::Kind::Unreadable) return failed(read.error().text);
  if (!read) {
    dialogs.showMessage({read.error().caption, read.error().text, DialogIcon::Error, DialogOwner::MainWindow});
    return ProjectLoad{LoadOutcome::Refused, std::nullopt};
  }
  ProjectData& data = *read;
  if (data.extensions.fontFile)
    data.extensions.fontFile->path = ResolveStoredFontPath(data.extensions.fontFile->path, path);
  for (FallbackFont& fallback : data.extensions.extras.fallbacks)
    if (fallback.kind == kFallbackFile) fallback.name = ResolveStoredFontPath(fallback.name, path);
  if (status) status(project_text::kProjectLoaded);
  return ProjectLoad{LoadOutcome::Loaded, std::move(data)};
}

Result<void> WriteProjectFile(const std::string& path, const GenerationSettings& settings,
                              const CharacterSelection& selection, ExportJobQueue& jobs, const PluginNames& plugins,
                              const ProjectExtensions& extensions) {
  RefreshJobNames(jobs, plugins);
  ProjectExtensions stored = extensions;
  if (stored.fontFile) stored.fontFile->path = StoredFontPath(stored.fontFile->path, path);
  for (FallbackFont& fallback : stored.extras.fallbacks)
    if (fallback.kind == kFallbackFile) fallback.name = StoredFontPath(fallback.name, path);
  const std::vector<uint8_t> bytes = ProjectToBytes(settings, selection, jobs, stored);

  return ReplaceFileContents(path, bytes);
}

Result<std::string> SaveProjectFile(const std::string& chosenPath, const GenerationSettings& settings,
                                    const CharacterSelection& selection, ExportJobQueue& jobs,
                                    const PluginNames& plugins, const StatusCallback& status,
                                    const ProjectExtensions& extensions) {
  const std::string path = ForceProjectExtension(chosenPath);
  Result<void> written = WriteProjectFile(path, settings, selection, jobs, plugins, extensions);
  if (!written) {
    if (status) status(project_text::SaveFailed(written.error()));
    return Fail(std::move(written).error());
  }
  if (status) status(project_text::Saved(path));
  return path;
}

std::optional<std::string> PromptProjectPath(Dialogs& dialogs) {
  std::string chosen = dialogs.promptSaveFile(ProjectSaveRequest());
  if (chosen == kCancelMarker) return std::nullopt;
  return chosen;
}

SaveFileRequest ProjectSaveRequest() {
  SaveFileRequest request;
  request.title = project_text::kSaveDialogTitle;
  request.filter = project_text::kSaveDialogFilter;
  const std::string filter = request.filter;
  request.filterCaption = filter.substr(0, filter.find('|'));
  request.filterPattern = filter.substr(filter.find('|') + 1);
  return request;
}

std::string ForceProjectExtension(const std::string& path) {
  return ForceExtension(path, std::string_view(kProjectExtension).substr(1));
}

namespace {

// Creates the folder that holds `file` and every missing folder above it, with mode 0700 as the
// base-directory rules ask for folders made in the user's home; else the reason.
Result<void> CreateFolderFor(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(file).parent_path();
  std::filesystem::path partial;
  for (const std::filesystem::path& part : folder) {
    partial /= part;
    if (::mkdir(partial.c_str(), 0700) == 0 || errno == EEXIST) continue;
    return Fail("cannot create the folder " + partial.string() + ": " + std::strerror(errno));
  }
  struct stat info {};
  if (!folder.empty() && (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)))
    return Fail(folder.string() + " is not a folder");
  return {};
}

}  // namespace

Result<void> WriteAutosave(const std::string& path, const GenerationSettings& settings,
                           const CharacterSelection& selection, ExportJobQueue& jobs, const PluginNames& plugins,
                           const ProjectExtensions& extensions) {
  if (path.empty()) return Fail(project_text::kNoAutosaveFolder);
  if (Result<void> folder = CreateFolderFor(path); !folder) return folder;
  return WriteProjectFile(path, settings, selection, jobs, plugins, extensions);
}

ProjectLoad LoadAutosave(const std::string& path, const PluginNames& plugins, Dialogs& dialogs,
                         const StatusCallback& status) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return ProjectLoad{LoadOutcome::Absent, std::nullopt};
  return LoadProjectFile(path, plugins, dialogs, status);
}

}  // namespace glyphmill
