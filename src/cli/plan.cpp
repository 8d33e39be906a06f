#include "cli/plan.h"

#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <set>

#include "cli/file_identity.h"
#include "cli/inputs.h"
#include "cli/streams.h"
#include "common/notify.h"

namespace tsl {

namespace {

// Metafiles, logs and bitmaps are what a conversion writes, never a plot.
bool IsOutputName(const std::string& name) {
  for (const char* ext : {".emf", ".emz", ".log", ".bmp"})
    if (HasExtension(name, ext)) return true;
  return false;
}

// The export format an output name asks for, -1 for none.
int FormatOfName(const std::string& name) {
  if (HasExtension(name, ".png")) return kExportPNG;
  if (HasExtension(name, ".jpg") || HasExtension(name, ".jpeg")) return kExportJPEG;
  if (HasExtension(name, ".bmp")) return kExportBMP;
  return -1;
}

const uint8_t kFormatBit[kExportFormats] = {AutoExportBMP, AutoExportPNG, AutoExportJPEG};
const char* const kFormatExtension[kExportFormats] = {".bmp", ".png", ".jpg"};
const char* const kFormatName[kExportFormats] = {"BMP", "PNG", "JPEG"};

// mkdir -p; false with errno set.
bool MakeFolders(const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    errno = ENOTDIR;
    return false;
  }
  std::string parent = FolderOf(folder);
  if (parent != folder && parent != "." && parent != "/" && !MakeFolders(parent)) return false;
  return mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST;
}

// The settings a job converts with: there is no clipboard here, and an
// unattended run says nothing beyond errors.
SettingsSet JobSettings(const SettingsSet& set) {
  SettingsSet s = set;
  s.Set(AutoCopy, false);
  if (s.Has(Unattended)) {
    s.Set(NoNOPWarnings, true);
    s.Set(NoInfoMessages, true);
  }
  return s;
}

// Standard output and error are claimed by their names, so that two
// outputs sent there are caught.
FileIdentity StreamIdentity(const std::string& name) {
  FileIdentity id;
  if (name != "-" && name != "-2") return IdentifyFile(name);
  id.known = true;
  id.name = name;
  return id;
}

// Checks and records the outputs of the plan, in order.
class Claims {
 public:
  explicit Claims(std::set<FileIdentity> inputs) : inputs_(std::move(inputs)) {}

  // Takes `name` as an output of `job`: resolves it, and refuses it when it
  // is an input, another output or not a file that may be replaced.
  // `explicitName`: the user named it (-o, -OF, --log), so a device there is
  // written in place.
  bool Claim(Job& job, const std::string& name, bool explicitName, std::string* path, bool* stream,
             bool paged = false) {
    paged_ = paged;
    std::string resolved;
    *stream = false;
    if (ReachesDescriptor(name)) {
      if (!explicitName) return Refuse(job, "'" + name + "' is not a regular file; it is left alone");
      *stream = true;
      *path = StandardStreamName(name);
      return Record(job, name, name, true);
    }
    switch (InspectTarget(name, &resolved)) {
      case TargetKind::Folder: return Refuse(job, "'" + name + "' is a folder");
      case TargetKind::Dangling: return Refuse(job, "'" + name + "' is a link to nothing; it is left alone");
      case TargetKind::Stream:
        if (!explicitName) return Refuse(job, "'" + name + "' is not a regular file; it is left alone");
        *stream = true;
        *path = name;
        return Record(job, name, name, true);
      default: break;
    }
    *path = resolved;
    return Record(job, name, resolved, false);
  }

  bool Refuse(Job& job, const std::string& why) {
    if (job.error.empty()) job.error = why;
    return false;
  }

 private:
  bool Record(Job& job, const std::string& name, const std::string& path, bool stream) {
    FileIdentity id = stream ? StreamIdentity(StandardStreamName(path)) : IdentifyFile(path);
    if (!id.known) return Refuse(job, "cannot write '" + name + "': " + SysErrText(ENOENT));
    if (inputs_.count(id)) return Refuse(job, "'" + name + "' is an input of this command; it is not overwritten");
    auto [at, fresh] = owners_.emplace(id, job.input);
    if (!fresh) {
      if (at->second == job.input)
        return Refuse(job, "'" + name + "' would receive two outputs of this file (see -OF, -o and --log)");
      return Refuse(job, "'" + name + "' is also an output of '" + at->second + "'; not converted");
    }
    job.outputs.push_back({name, path, stream, paged_});
    return true;
  }

  std::set<FileIdentity> inputs_;
  std::map<FileIdentity, std::string> owners_;
  bool paged_ = false;
};

struct Input {
  std::string name;
  const NamedItem* item;
  bool stream;
};

void Expand(const CommandLine& cl, Plan* plan, std::vector<Input>* inputs) {
  for (const NamedItem& item : cl.items) {
    const std::string& n = item.name;
    if (ReachesDescriptor(n)) {
      inputs->push_back({n, &item, true});
      continue;
    }
    struct stat st;
    if (stat(n.c_str(), &st) == 0) {
      if (!S_ISDIR(st.st_mode)) {
        inputs->push_back({n, &item, false});
        continue;
      }
      // -PM prints the metafiles of a folder.
      bool metafiles = item.options.set.AutoPrint & AutoPrintMetafiles;
      FolderScan scan = metafiles ? FolderFiles(n, cl.recursive, kMetafileExtensions) : FolderPlots(n, cl.recursive);
      if (scan.skipped)
        plan->notes.push_back(n + ": " + std::to_string(scan.skipped) +
                              (scan.skipped == 1 ? " file skipped (not a plot file)" : " files skipped (not plot files)"));
      if (scan.plots.empty()) {
        std::string exts;
        if (metafiles) exts = ".emf, .emz, .wmf";
        for (size_t i = 0; i < kPlotExtensionCount && !metafiles; ++i)
          exts += std::string(i ? ", " : "") + kPlotExtensions[i];
        plan->missing.push_back({n, "no plot files (" + exts + ") in this folder" +
                                        (cl.recursive ? " or below" : " (-r searches below)")});
      }
      for (const std::string& p : scan.plots) inputs->push_back({p, &item, false});
      continue;
    }
    int err = errno;
    // A name that exists is taken as it is, whatever it holds ("[br].plt").
    if (!item.literal && HasWildcards(n)) {
      std::vector<std::string> matches = MatchPattern(n);
      if (matches.empty()) plan->missing.push_back({n, "no file matches"});
      for (const std::string& m : matches) inputs->push_back({m, &item, false});
      continue;
    }
    plan->missing.push_back({n, SysErrText(err)});
  }
}

void PlanJob(Job& job, const Input& in, const CommandLine& cl, Claims& claims, ScratchFolder& scratch) {
  const CliOptions& o = job.options;
  SettingsSet& s = job.settings;
  const bool measure = s.Has(MeasureOnly);
  std::string why;

  // -PM: the files named are metafiles, printed as they are; nothing is written.
  if (s.AutoPrint & AutoPrintMetafiles) return;
  if (!in.stream && IsOutputName(in.name))
    return void(claims.Refuse(job, "a metafile, log or bitmap is not a plot file (see 'tessella export' and --dump)"));
  if (o.placement.useFolder && !o.placement.folder.empty() && !MakeFolders(o.placement.folder))
    return void(claims.Refuse(job, "cannot make the folder '" + o.placement.folder + "': " + SysErrText(errno)));

  // A stream has no name to put outputs beside; in a folder they are
  // named after "stdin". Its log is kept only where --log says.
  bool nameless = in.stream && !o.placement.useFolder;
  const bool logless = nameless;
  MakeNames(NoOneToTell(), in.stream ? std::string("stdin") : in.name,
            o.placement.useFolder ? o.placement.folder.c_str() : nullptr, &job.names);
  job.names.plot = in.name;
  std::string metafile = job.names.metafile;
  bool metafileNamed = false, metafileWanted = !measure && !s.Has(PurgeEMF);
  if (o.placement.fileGiven) metafile = o.placement.folder, metafileNamed = true, nameless = false;

  // -o names the output its extension names, else the metafile.
  int oFormat = cl.output == "-" ? -1 : FormatOfName(cl.output);
  if (!cl.output.empty() && !measure) {
    if (oFormat >= 0) {
      if (!(s.AutoExport & kFormatBit[oFormat])) s.AutoExport |= kFormatBit[oFormat];
      // The metafile of a stream was wanted for standard output only.
      if (nameless && !o.placement.fileGiven) metafileWanted = false;
    } else if (HasExtension(cl.output, ".emz")) {
      s.Set(AutoEMZ, true);
      metafile = ReplaceExtension(cl.output, ".emf");
      metafileNamed = true;
      metafileWanted = true;
    } else {
      metafile = cl.output;
      metafileNamed = true;
      metafileWanted = !s.Has(PurgeEMF) || cl.output == "-";
    }
  } else if (nameless) {
    metafile = "-";
  }

  bool ok = true, stream = false;
  std::string path;
  if (metafileWanted) {
    if (metafile == "-") {
      // A metafile is no text: a terminal would show garbage.
      if (isatty(STDOUT_FILENO))
        return void(claims.Refuse(job, "standard output is a terminal; name the metafile with -o FILE"));
      job.metafileStream = "-";
      if (!claims.Claim(job, "-", true, &path, &stream)) return;
    } else if ((ok = claims.Claim(job, metafile, metafileNamed, &path, &stream, true))) {
      if (stream) job.metafileStream = path;
      else job.metafile = path;
    }
    if (!job.metafileStream.empty() && s.Has(AutoEMZ)) {
      // Compressed in the scratch folder, then sent on.
      job.metafile = scratch.NewName(ShortName(job.names.metafile), &why);
      if (job.metafile.empty()) return void(claims.Refuse(job, why));
    }
  }
  if (!job.metafile.empty() && job.metafileStream.empty()) {
    std::string side;
    if (ok && s.Has(AutoEMZ))
      ok = claims.Claim(job, ReplaceExtension(job.metafile, ".emz"), false, &side, &stream, true);
    if (ok && s.Has(WriteColorFile))
      ok = claims.Claim(job, ReplaceExtension(job.metafile, ".CLR"), false, &side, &stream);
  }

  // The log: beside, --log FILE, --log - (standard error), or nowhere.
  std::string logName = cl.log.empty() ? job.names.log : cl.log;
  if (ok && (measure || cl.log == "-" || (logless && cl.log.empty()))) {
    job.logKept = !measure && cl.log == "-";
    if (job.logKept) job.logStream = "-2";
    job.log = scratch.NewName("log", &why);
    if (job.log.empty()) return void(claims.Refuse(job, why));
  } else if (ok && (ok = claims.Claim(job, logName, !cl.log.empty(), &path, &stream))) {
    if (stream) {
      job.logStream = path;
      job.log = scratch.NewName("log", &why);
      if (job.log.empty()) return void(claims.Refuse(job, why));
    } else {
      job.log = path;
    }
  }

  for (int f = 0; ok && !measure && f < kExportFormats; ++f) {
    if (!(s.AutoExport & kFormatBit[f])) continue;
    if (f == oFormat) {
      ok = claims.Claim(job, cl.output, true, &path, &stream, true);
      job.exports[f] = path;
    } else if (nameless && !o.placement.fileGiven) {
      return void(claims.Refuse(job, std::string("the ") + kFormatName[f] + " copy of a piped plot needs a name: -o FILE" +
                                         kFormatExtension[f]));
    } else {
      ok = claims.Claim(job, ReplaceExtension(job.names.bitmap, kFormatExtension[f]), false, &path, &stream, true);
      job.exports[f] = path;
    }
    if (stream) return void(claims.Refuse(job, "a picture is written to a file, not to '" + path + "'"));
  }
}

}  // namespace

std::string PageName(const std::string& path, int page) {
  std::string ext;
  size_t dot = path.rfind('.');
  if (dot != std::string::npos && ShortName(path).find('.') != std::string::npos) ext = path.substr(dot);
  else dot = path.size();
  return path.substr(0, dot) + "-" + std::to_string(page) + ext;
}

Plan MakePlan(const CommandLine& cl, ScratchFolder& scratch) {
  Plan plan;
  std::vector<Input> inputs;
  Expand(cl, &plan, &inputs);

  std::set<FileIdentity> ids;
  for (const Input& in : inputs)
    if (!in.stream) ids.insert(IdentifyFile(in.name));
  Claims claims(std::move(ids));

  bool stdinTaken = false;
  for (const Input& in : inputs) {
    Job job;
    job.input = in.name;
    job.source = in.name;
    job.options = in.item->options;
    job.settings = JobSettings(in.item->options.set);
    job.print = cl.print;
    if (in.stream) {
      std::string why;
      if (in.name == "-" && stdinTaken) {
        job.error = "standard input can be read only once";
      } else {
        stdinTaken = stdinTaken || in.name == "-";
        job.source = scratch.NewName(in.name == "-" ? "stdin" : ShortName(in.name), &why);
        if (job.source.empty() || !SpoolInput(in.name, job.source, &why)) job.error = "cannot be read: " + why;
      }
    }
    if (job.error.empty()) PlanJob(job, in, cl, claims, scratch);
    plan.jobs.push_back(std::move(job));
  }
  return plan;
}

}  // namespace tsl
