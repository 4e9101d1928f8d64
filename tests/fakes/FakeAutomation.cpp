#include "fakes/FakeAutomation.h"

#include <algorithm>
#include <utility>

namespace veltrano::fakes {

namespace {

class FakeCharsetStream final : public web::CharsetStream {
public:
    FakeCharsetStream(CallLog& log, std::string failMember) : log_(log), failMember_(std::move(failMember)) {}
    FakeCharsetStream(const FakeCharsetStream&) = delete;
    FakeCharsetStream& operator=(const FakeCharsetStream&) = delete;
    ~FakeCharsetStream() override { log_.Add("stream released"); }

    void SetType(std::int32_t type) override {
        const bool ok = Allowed("Type") && position_ == 0 &&
                        (type == web::kStreamTypeBinary || type == web::kStreamTypeText);
        if (ok) type_ = type;
        Log("stream.Type = " + std::to_string(type), ok);
    }
    void SetPosition(std::int32_t position) override {
        const bool ok = Allowed("Position") && open_ && position >= 0 &&
                        static_cast<std::size_t>(position) <= contents_.size();
        if (ok) position_ = static_cast<std::size_t>(position);
        Log("stream.Position = " + std::to_string(position), ok);
    }
    void SetCharset(TextView charset) override {
        const bool ok = Allowed("Charset") && position_ == 0 && !charset.empty();
        Log("stream.Charset = " + Quoted(charset), ok);
    }
    void Open() override {
        const bool ok = Allowed("Open") && !open_;
        if (ok) {
            open_ = true;
            contents_.clear();
            position_ = 0;
        }
        Log("stream.Open()", ok);
    }
    void Write(BytesView data) override {
        const bool ok = Allowed("Write") && open_ && type_ == web::kStreamTypeBinary;
        if (ok) Put(std::string(data.begin(), data.end()));
        Log("stream.Write(" + Quoted(std::string(data.begin(), data.end())) + ")", ok);
    }
    Text ReadText() override {
        const bool ok = Allowed("ReadText") && open_ && type_ == web::kStreamTypeText;
        Text text;
        if (ok) {
            text = contents_.substr(position_);
            text.resize(std::min(text.size(), text.find('\0')));
            position_ = contents_.size();
        }
        Log("stream.ReadText()", ok, Quoted(text));
        return text;
    }
    void Close() override {
        const bool ok = Allowed("Close") && open_;
        if (ok) {
            open_ = false;
            contents_.clear();
            position_ = 0;
        }
        Log("stream.Close()", ok);
    }
    void WriteText(TextView text) override {
        const bool ok = Allowed("WriteText") && open_ && type_ == web::kStreamTypeText;
        if (ok) Put(std::string(text));
        Log("stream.WriteText(" + Quoted(text) + ")", ok);
    }
    Bytes Read() override {
        const bool ok = Allowed("Read") && open_ && type_ == web::kStreamTypeBinary;
        Bytes bytes;
        if (ok) {
            bytes.assign(contents_.begin() + static_cast<std::ptrdiff_t>(position_), contents_.end());
            position_ = contents_.size();
        }
        Log("stream.Read()", ok, Quoted(std::string(bytes.begin(), bytes.end())));
        return bytes;
    }

private:
    [[nodiscard]] bool Allowed(const char* member) const { return failMember_ != member; }

    void Put(const std::string& bytes) {
        contents_.resize(position_);
        contents_ += bytes;
        position_ = contents_.size();
    }

    void Log(const std::string& call, bool ok, const std::string& result = "") {
        if (!ok) {
            log_.Add(call + " -> failed");
        } else if (!result.empty()) {
            log_.Add(call + " -> " + result);
        } else {
            log_.Add(call);
        }
    }

    CallLog& log_;
    std::string failMember_;
    std::int32_t type_ = web::kStreamTypeBinary;
    bool open_ = false;
    std::string contents_;
    std::size_t position_ = 0;
};

}  // namespace

void FakeAutomation::CoInitialize() { log_.Add("CoInitialize"); }

void FakeAutomation::CoUninitialize() { log_.Add("CoUninitialize"); }

std::unique_ptr<web::CharsetStream> FakeAutomation::CreateObject(TextView progId) {
    if (failCreate) {
        log_.Add("CreateObject(" + Quoted(progId) + ") -> null");
        return nullptr;
    }
    log_.Add("CreateObject(" + Quoted(progId) + ") -> stream");
    return std::make_unique<FakeCharsetStream>(log_, failMember);
}

}  // namespace veltrano::fakes
