#include "project/project_file.h"

#include <algorithm>
#include <cstring>
#include <istream>
#include <ostream>

#include "project/project_layout.h"
#include "project/project_messages.h"

namespace glyphmill {
namespace {

void PutI32(uint8_t* out, int32_t value) {
  const uint32_t u = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(u >> (8 * i));
}

uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 | static_cast<uint32_t>(in[2]) << 16 |
         static_cast<uint32_t>(in[3]) << 24;
}

int32_t GetI32(const uint8_t* in) { return static_cast<int32_t>(GetU32(in)); }

void PutJob(uint8_t* out, const TExportJob& job) {
  out[kJobUseRGBOffset] = job.UseRGB ? 1 : 0;
  out[kJobUseAlphaOffset] = job.UseAlpha ? 1 : 0;
  out[kJobUseDataOffset] = job.UseData ? 1 : 0;
  PutI32(out + kJobPluginIndexOffset, job.PluginIndex);
  std::memcpy(out + kJobPluginNameOffset, job.PluginName.data(), job.PluginName.size());
}

TExportJob GetJob(const uint8_t* in) {
  TExportJob job;
  job.UseRGB = in[kJobUseRGBOffset] != 0;
  job.UseAlpha = in[kJobUseAlphaOffset] != 0;
  job.UseData = in[kJobUseDataOffset] != 0;
  job.PluginIndex = GetI32(in + kJobPluginIndexOffset);
  std::memcpy(job.PluginName.data(), in + kJobPluginNameOffset, job.PluginName.size());
  return job;
}

Failure<ProjectReadError> Refuse(std::string text) {
  return Fail(ProjectReadError{ProjectReadError::Kind::Refused, project_text::kFileErrorCaption, std::move(text)});
}

Failure<ProjectReadError> Unreadable(std::string message) {
  return Fail(ProjectReadError{ProjectReadError::Kind::Unreadable, {}, std::move(message)});
}

// Reads exactly n bytes unless the source ends first; returns how many arrived, or the source's
// failure.
Result<std::size_t> ReadFully(ProjectSource& source, uint8_t* dst, std::size_t n) {
  std::size_t got = 0;
  while (got < n) {
    Result<std::size_t> step = source.read(dst + got, n - got);
    if (!step) return step;
    if (*step == 0) break;
    got += *step;
  }
  return got;
}

class MemorySource final : public ProjectSource {
 public:
  MemorySource(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  Result<std::size_t> read(uint8_t* dst, std::size_t n) override {
    const std::size_t step = std::min(n, size_ - pos_);
    if (step) std::memcpy(dst, data_ + pos_, step);
    pos_ += step;
    return step;
  }

 private:
  const uint8_t* data_;
  std::size_t size_;
  std::size_t pos_ = 0;
};

class StreamSource final : public ProjectSource {
 public:
  explicit StreamSource(std::istream& stream) : stream_(stream) {}
  Result<std::size_t> read(uint8_t* dst, std::size_t n) override {
    if (!stream_.good()) return std::size_t{0};
    stream_.read(reinterpret_cast<char*>(dst), static_cast<std::streamsize>(n));
    if (stream_.bad()) return Fail("Read error.");
    return static_cast<std::size_t>(stream_.gcount());
  }

 private:
  std::istream& stream_;
};

// Job entries are read in slices, so that a huge count in a short file costs no more memory than
// the file really holds.
constexpr std::size_t kJobsPerSlice = 256;

// The job entries: as many as `count` says, read slice by slice.
Result<std::vector<uint8_t>, ProjectReadError> ReadJobBytes(ProjectSource& source, int32_t count) {
  std::vector<uint8_t> jobBytes;
  const std::size_t wanted = static_cast<std::size_t>(count) * kJobEntryBytes;
  while (jobBytes.size() < wanted) {
    const std::size_t step = std::min(wanted - jobBytes.size(), kJobsPerSlice * kJobEntryBytes);
    const std::size_t before = jobBytes.size();
    jobBytes.resize(before + step);
    const Result<std::size_t> arrived = ReadFully(source, jobBytes.data() + before, step);
    if (!arrived) return Unreadable(arrived.error());
    if (*arrived < step) return Refuse(project_text::JobCountMismatch(count, (before + *arrived) / kJobEntryBytes));
  }
  return jobBytes;
}

}  // namespace

std::vector<uint8_t> ProjectToBytes(const GenerationSettings& settings, const CharacterSelection& selection,
                                    const ExportJobQueue& jobs, const ProjectExtensions& extensions) {
  std::vector<uint8_t> out(kProjectJobsOffset + kJobEntryBytes * jobs.size());
  PutI32(out.data() + kProjectSignatureOffset, kProjectSignature);
  PutI32(out.data() + kProjectSettingsSizeOffset, kProjectSettingsSize);
  const SettingsBytes block = SettingsToBytes(settings);
  std::copy(block.begin(), block.end(), out.begin() + kProjectSettingsOffset);
  std::copy(selection.begin(), selection.end(), out.begin() + kProjectSelectionOffset);
  PutI32(out.data() + kProjectJobCountOffset, static_cast<int32_t>(jobs.size()));
  for (std::size_t i = 0; i < jobs.size(); ++i) PutJob(out.data() + kProjectJobsOffset + i * kJobEntryBytes, jobs[i]);
  const std::vector<uint8_t> extensionBlock = ExtensionBlockBytes(extensions);
  out.insert(out.end(), extensionBlock.begin(), extensionBlock.end());
  return out;
}

Result<ProjectData, ProjectReadError> ParseProject(ProjectSource& source, const PluginNames& plugins) {
  // The fixed part: signature, settings size, settings, selection, job count.
  std::vector<uint8_t> head(kProjectJobsOffset);
  std::size_t got = 0;
  // Reads the next `n` bytes of the head; false when the source failed (`failure` says why).
  std::string failure;
  const auto readHead = [&](std::size_t n) {
    const Result<std::size_t> arrived = ReadFully(source, head.data() + got, n);
    if (!arrived) failure = arrived.error();
    got += arrived ? *arrived : 0;
    return arrived.has_value();
  };
  if (!readHead(4)) return Unreadable(failure);
  if (got < 4 || GetI32(head.data() + kProjectSignatureOffset) != kProjectSignature)
    return Refuse(project_text::kNoGlyphmillData);

  if (!readHead(4)) return Unreadable(failure);
  if (got < kProjectSettingsOffset) return Refuse(project_text::Incomplete("settings size", got));
  const uint32_t settingsSize = GetU32(head.data() + kProjectSettingsSizeOffset);
  if (settingsSize != static_cast<uint32_t>(kProjectSettingsSize))
    return Refuse(project_text::RecordSizeMismatch(settingsSize));

  if (!readHead(kProjectJobsOffset - got)) return Unreadable(failure);
  if (got < kProjectSelectionOffset) return Refuse(project_text::Incomplete("settings", got));
  if (got < kProjectJobCountOffset) return Refuse(project_text::Incomplete("character selection", got));
  if (got < kProjectJobsOffset) return Refuse(project_text::Incomplete("job count", got));

  const uint8_t* name = head.data() + kProjectSettingsOffset;
  if (std::find(name, name + kFontNameBytes, 0) == name + kFontNameBytes)
    return Refuse(project_text::UnterminatedFontName());

  const int32_t count = GetI32(head.data() + kProjectJobCountOffset);
  if (count < 0) return Refuse(project_text::JobCountMismatch(count, 0));

  Result<std::vector<uint8_t>, ProjectReadError> jobs = ReadJobBytes(source, count);
  if (!jobs) return Fail(std::move(jobs).error());
  const std::vector<uint8_t>& jobBytes = *jobs;

  // The extension block's reader sees the end of the file where the source fails; the failure is
  // reported as such afterwards.
  bool sourceFailed = false;
  const auto readFully = [&source, &failure, &sourceFailed](uint8_t* dst, std::size_t n) -> std::size_t {
    const Result<std::size_t> arrived = ReadFully(source, dst, n);
    if (arrived) return *arrived;
    failure = arrived.error();
    sourceFailed = true;
    return 0;
  };
  Result<ProjectExtensions> extensions = ReadExtensionBlock(readFully);
  if (sourceFailed) return Unreadable(failure);
  if (!extensions) return Refuse(extensions.error());

  ProjectData data;
  data.extensions = *std::move(extensions);
  data.settings = SettingsFromBytes(head.data() + kProjectSettingsOffset);
  std::copy(head.begin() + kProjectSelectionOffset, head.begin() + kProjectJobCountOffset, data.selection.begin());
  data.jobs.reserve(static_cast<std::size_t>(count));
  for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i)
    data.jobs.push_back(GetJob(jobBytes.data() + i * kJobEntryBytes));
  MatchJobsToPlugins(data.jobs, plugins);
  return data;
}

Result<ProjectData, ProjectReadError> ParseProjectBytes(const uint8_t* data, std::size_t size,
                                                        const PluginNames& plugins) {
  MemorySource source(data, size);
  return ParseProject(source, plugins);
}

bool WriteProject(std::ostream& stream, const GenerationSettings& settings, const CharacterSelection& selection,
                  ExportJobQueue& jobs, const PluginNames& plugins, const ProjectExtensions& extensions) {
  RefreshJobNames(jobs, plugins);
  const std::vector<uint8_t> bytes = ProjectToBytes(settings, selection, jobs, extensions);
  stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  stream.flush();
  return static_cast<bool>(stream);
}

Result<ProjectData, ProjectReadError> ReadProjectStream(std::istream& stream, const PluginNames& plugins) {
  StreamSource source(stream);
  return ParseProject(source, plugins);
}

}  // namespace glyphmill
