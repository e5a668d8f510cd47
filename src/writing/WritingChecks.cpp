#include "writing/WritingChecks.h"

#include "document/ManuscriptGrid.h"
#include "writing/SheetSnapshot.h"
#include "writing/SpellChecker.h"

#include <QFileInfo>

#include <memory>

namespace {

constexpr int kRowWidth = ManuscriptGrid::kColumnCount;

int key(CellPos cell)
{
    return cell.line * kRowWidth + cell.column;
}

// Lives on the checking thread; everything it holds is used there only.
class CheckWorker : public QObject {
public:
    QString dictionary;
    QString userWords;
    std::unique_ptr<SpellChecker> speller;
    QHash<QString, bool> known;  // words checked before, right or wrong

    // The dictionary is read when the first word needs it: half a second of work that a
    // sheet without Hangul never waits for.
    SpellChecker& spell()
    {
        if (!speller)
            speller = std::make_unique<SpellChecker>(dictionary, userWords);
        return *speller;
    }

    bool correct(const QString& word)
    {
        const auto found = known.constFind(word);
        if (found != known.constEnd())
            return *found;
        return known[word] = spell().correct(word);
    }

    QList<WritingChecks::Misspelling> misspellings(const SheetSnapshot& sheet)
    {
        QList<WritingChecks::Misspelling> wrong;
        for (const SheetWord& word : SheetWords(sheet)) {
            bool right = correct(word.text);
            // The edge of the line may hide the gap between two words.
            if (!right && word.lineBreakAt > 0)
                right = correct(word.text.left(word.lineBreakAt)) && correct(word.text.mid(word.lineBreakAt));
            if (!right)
                wrong.append({word.text, word.cells});
        }
        return wrong;
    }
};

QString missingDictionary(const QString& dictionary)
{
    for (const char* suffix : {".aff", ".dic"})
        if (!QFileInfo(dictionary + QLatin1String(suffix)).isReadable())
            return SpellChecker(dictionary, {}).problem();
    return {};
}

}

WritingChecks::WritingChecks(ManuscriptGrid& grid, QObject* parent)
    : QObject(parent), grid_(&grid), worker_(new CheckWorker)
{
    worker_->moveToThread(&thread_);
    thread_.setObjectName(QStringLiteral("writing checks"));
    thread_.start(QThread::LowPriority);
    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &WritingChecks::CheckNow);
    connect(grid_, &ManuscriptGrid::modelReset, this, &WritingChecks::changed);
    connect(grid_, &ManuscriptGrid::dataChanged, this, &WritingChecks::changed);
    connect(grid_, &ManuscriptGrid::rowsInserted, this, &WritingChecks::changed);
    connect(grid_, &ManuscriptGrid::rowsRemoved, this, &WritingChecks::changed);
    UseDictionary(SpellChecker::defaultDictionary(), SpellChecker::defaultUserWords());
}

WritingChecks::~WritingChecks()
{
    if (grid_)
        grid_->setNotes(nullptr);
    thread_.quit();
    thread_.wait();
    delete worker_;
}

void WritingChecks::UseDictionary(const QString& dictionary, const QString& userWords)
{
    spellingProblem_ = missingDictionary(dictionary);
    auto* worker = static_cast<CheckWorker*>(worker_);
    QMetaObject::invokeMethod(worker, [worker, dictionary, userWords] {
        worker->dictionary = dictionary;
        worker->userWords = userWords;
        worker->speller.reset();
        worker->known.clear();
    });
    if (!spellingProblem_.isEmpty())
        emit SpellingOff(spellingProblem_);
    if (started_)
        changed();
}

void WritingChecks::Start()
{
    started_ = true;
    if (grid_)
        grid_->setNotes(this);
    changed();
}

void WritingChecks::Stop()
{
    started_ = false;
    pause_.stop();
    ++revision_;
    finished(revision_, {}, {});
    if (grid_)
        grid_->setNotes(nullptr);
}

void WritingChecks::changed()
{
    ++revision_;
    if (started_)
        pause_.start();
}

void WritingChecks::CheckNow()
{
    pause_.stop();
    if (!started_ || !grid_)
        return;
    if (inFlight_) {
        again_ = true;
        return;
    }
    inFlight_ = true;
    const quint64 revision = revision_;
    const SheetSnapshot sheet = SheetSnapshot::of(*grid_);
    const bool spelling = spellingProblem_.isEmpty();
    auto* worker = static_cast<CheckWorker*>(worker_);
    QMetaObject::invokeMethod(worker, [this, worker, revision, sheet, spelling] {
        const QList<ManuscriptRules::Finding> findings = ManuscriptRules::Check(sheet);
        const QList<Misspelling> wrong = spelling ? worker->misspellings(sheet) : QList<Misspelling>();
        QMetaObject::invokeMethod(
            this, [this, revision, findings, wrong] { finished(revision, findings, wrong); }, Qt::QueuedConnection);
    });
}

void WritingChecks::finished(quint64 revision, const QList<ManuscriptRules::Finding>& findings,
                             const QList<Misspelling>& misspellings)
{
    inFlight_ = false;
    if (again_) {
        again_ = false;
        pause_.start();
    }
    // Findings for cells that have changed since would mark the wrong cells.
    if (revision != revision_)
        return;
    findings_ = findings;
    misspellings_ = misspellings;
    index();
    emit Checked();
}

void WritingChecks::index()
{
    ruleAt_.clear();
    wordAt_.clear();
    for (qsizetype i = 0; i < findings_.size(); ++i)
        ruleAt_.insert(key(findings_[i].cell), int(i));
    for (qsizetype i = 0; i < misspellings_.size(); ++i)
        for (const CellPos& cell : misspellings_[i].cells)
            wordAt_.insert(key(cell), int(i));
}

const WritingChecks::Misspelling* WritingChecks::MisspellingAt(CellPos cell) const
{
    const auto found = wordAt_.constFind(key(cell));
    return found == wordAt_.constEnd() ? nullptr : &misspellings_[*found];
}

std::optional<CellPos> WritingChecks::NextFinding(CellPos cell) const
{
    QList<CellPos> places;
    for (const ManuscriptRules::Finding& f : findings_)
        places.append(f.cell);
    for (const Misspelling& m : misspellings_)
        places.append(m.cells.front());
    if (places.isEmpty())
        return std::nullopt;
    std::sort(places.begin(), places.end(), [](CellPos a, CellPos b) { return key(a) < key(b); });
    for (const CellPos& place : places)
        if (key(place) > key(cell))
            return place;
    return places.front();
}

void WritingChecks::Suggest(const QString& word)
{
    auto* worker = static_cast<CheckWorker*>(worker_);
    QMetaObject::invokeMethod(worker, [this, worker, word] {
        const QStringList suggestions = worker->spell().suggest(word);
        QMetaObject::invokeMethod(
            this, [this, word, suggestions] { emit Suggested(word, suggestions); }, Qt::QueuedConnection);
    });
}

void WritingChecks::AddToDictionary(const QString& word)
{
    auto* worker = static_cast<CheckWorker*>(worker_);
    QMetaObject::invokeMethod(worker, [worker, word] {
        worker->spell().addWord(word);
        worker->known.remove(word);
    });
    // The word's underline goes at once; the check that follows agrees.
    misspellings_.removeIf([&](const Misspelling& m) { return m.word == word; });
    index();
    emit Checked();
    changed();
}

QString WritingChecks::note(int line, int column) const
{
    QStringList notes;
    const auto rule = ruleAt_.constFind(key({line, column}));
    if (rule != ruleAt_.constEnd())
        notes.append(ManuscriptRules::Hint(findings_[*rule].rule));
    if (const Misspelling* word = MisspellingAt({line, column}))
        notes.append(QStringLiteral("맞춤법: '%1'은(는) 사전에 없는 말입니다").arg(word->word));
    return notes.join(QStringLiteral("\n"));
}

int WritingChecks::marks(int line, int column) const
{
    const int k = key({line, column});
    return (ruleAt_.contains(k) ? RuleMark : 0) | (wordAt_.contains(k) ? SpellingMark : 0);
}
