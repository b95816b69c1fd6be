#include "createdb/sample_dictionaries.h"

#include "platform/core/failure.h"
#include "store/schema.h"
#include "store/statement.h"

#include <QFile>
#include <QFileInfo>
#include <QVariant>
#include <sqlite3.h>

namespace {

// Only a file of ours with empty dictionaries is filled: filling twice would
// double every entry the operator sees.
void requireEmptyWorkstationDatabase(sqlite3 *db, const QString &path)
{
    if (Statement::scalar(db, QStringLiteral("PRAGMA application_id")).toInt() != Schema::applicationId)
        throw Failure(QStringLiteral("不是本系统的数据库：%1").arg(path));
    if (Statement::scalar(db, SampleDictionaries::countStatement()).toLongLong() != 0)
        throw Failure(QStringLiteral("数据库中已有字典数据，不再填入示例字典：%1").arg(path));
}

void fillOpen(sqlite3 *db, const QString &path)
{
    requireEmptyWorkstationDatabase(db, path);
    try {
        Statement::execute(db, QStringLiteral("BEGIN IMMEDIATE"));
        SampleDictionaries::writeAll([db](const QString &sql, const QVariantList &values) {
            Statement::execute(db, sql, values);
        });
        Statement::execute(db, QStringLiteral("COMMIT"));
    } catch (const Failure &failure) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw Failure(QStringLiteral("无法写入示例字典：%1").arg(failure.message()));
    }
}

} // namespace

QString SampleDictionaries::countStatement()
{
    return QStringLiteral("select (select count(*) from ks) + (select count(*) from bwmc)"
                          " + (select count(*) from bt) + (select count(*) from nr)");
}

void SampleDictionaries::writeAll(const Insert &insert)
{
    for (const auto &entry : departments())
        insert(QStringLiteral("insert into ks (ksmc, kspym) values (?, ?)"), {entry.name, entry.code});
    for (const auto &entry : sites())
        insert(QStringLiteral("insert into bwmc (bwmc, bwpym) values (?, ?)"), {entry.name, entry.code});
    for (const auto &group : phraseGroups()) {
        insert(QStringLiteral("insert into bt (bt) values (?)"), {group.title});
        for (const QString &text : group.phrases)
            insert(QStringLiteral("insert into nr (bt, nr) values (?, ?)"), {group.title, text});
    }
}

const QList<SampleDictionaries::CodedName> &SampleDictionaries::departments()
{
    static const QList<CodedName> list = {
        {QStringLiteral("内科"), QStringLiteral("NK")},
        {QStringLiteral("外科"), QStringLiteral("WK")},
        {QStringLiteral("心血管内科"), QStringLiteral("XXGNK")},
        {QStringLiteral("呼吸内科"), QStringLiteral("HXNK")},
        {QStringLiteral("消化内科"), QStringLiteral("XHNK")},
        {QStringLiteral("神经内科"), QStringLiteral("SJNK")},
        {QStringLiteral("肾内科"), QStringLiteral("SNK")},
        {QStringLiteral("内分泌科"), QStringLiteral("NFMK")},
        {QStringLiteral("普外科"), QStringLiteral("PWK")},
        {QStringLiteral("骨科"), QStringLiteral("GK")},
        {QStringLiteral("泌尿外科"), QStringLiteral("MNWK")},
        {QStringLiteral("神经外科"), QStringLiteral("SJWK")},
        {QStringLiteral("胸外科"), QStringLiteral("XWK")},
        {QStringLiteral("妇产科"), QStringLiteral("FCK")},
        {QStringLiteral("儿科"), QStringLiteral("EK")},
        {QStringLiteral("急诊科"), QStringLiteral("JZK")},
        {QStringLiteral("肿瘤科"), QStringLiteral("ZLK")},
        {QStringLiteral("康复科"), QStringLiteral("KFK")},
        {QStringLiteral("重症医学科"), QStringLiteral("ZZYXK")},
        {QStringLiteral("耳鼻咽喉科"), QStringLiteral("EBYHK")},
        {QStringLiteral("体检中心"), QStringLiteral("TJZX")},
    };
    return list;
}

const QList<SampleDictionaries::CodedName> &SampleDictionaries::sites()
{
    static const QList<CodedName> list = {
        {QStringLiteral("胸部正位"), QStringLiteral("XBZW")},
        {QStringLiteral("胸部正侧位"), QStringLiteral("XBZCW")},
        {QStringLiteral("腹部立位"), QStringLiteral("FBLW")},
        {QStringLiteral("腹部平片"), QStringLiteral("FBPP")},
        {QStringLiteral("头颅正侧位"), QStringLiteral("TLZCW")},
        {QStringLiteral("颈椎正侧位"), QStringLiteral("JZZCW")},
        {QStringLiteral("胸椎正侧位"), QStringLiteral("XZZCW")},
        {QStringLiteral("腰椎正侧位"), QStringLiteral("YZZCW")},
        {QStringLiteral("骶尾椎正侧位"), QStringLiteral("DWZZCW")},
        {QStringLiteral("骨盆正位"), QStringLiteral("GPZW")},
        {QStringLiteral("肩关节正位"), QStringLiteral("JGJZW")},
        {QStringLiteral("肱骨正侧位"), QStringLiteral("GGZCW")},
        {QStringLiteral("肘关节正侧位"), QStringLiteral("ZGJZCW")},
        {QStringLiteral("尺桡骨正侧位"), QStringLiteral("CRGZCW")},
        {QStringLiteral("腕关节正侧位"), QStringLiteral("WGJZCW")},
        {QStringLiteral("手正斜位"), QStringLiteral("SZXW")},
        {QStringLiteral("髋关节正位"), QStringLiteral("KGJZW")},
        {QStringLiteral("膝关节正侧位"), QStringLiteral("XGJZCW")},
        {QStringLiteral("踝关节正侧位"), QStringLiteral("HGJZCW")},
        {QStringLiteral("足正斜位"), QStringLiteral("ZZXW")},
    };
    return list;
}

const QList<SampleDictionaries::PhraseGroup> &SampleDictionaries::phraseGroups()
{
    static const QList<PhraseGroup> list = {
        {QStringLiteral("胸部所见"),
         {
             QStringLiteral("两肺纹理清晰，走行自然，肺野内未见明确实质性病变。双肺门影不大，纵隔居中，"
                            "心影大小、形态未见异常。两膈面光整，肋膈角锐利。"),
             QStringLiteral("两肺纹理增多、增粗、紊乱，以中下肺野为著，肺野内未见明确实质性病变。双肺门影不大，"
                            "心影大小、形态未见异常。两膈面光整，肋膈角锐利。"),
             QStringLiteral("右肺下野见斑片状模糊影，边缘不清，密度不均。右肺门影稍增浓，心影大小、形态未见异常。"
                            "两膈面光整，肋膈角锐利。"),
             QStringLiteral("两肺野透亮度增高，肺纹理稀疏，肋间隙增宽，两膈低平。心影狭长，呈垂位心。"),
             QStringLiteral("右侧肋膈角变钝，见外高内低弧形致密影，上缘呈反抛物线状。"),
             QStringLiteral("左肺上野见斑点状及条索状高密度影，边缘清楚，部分可见钙化。"),
             QStringLiteral("心影向两侧增大，心胸比约0.58，主动脉结突出。两肺纹理清晰，肺野内未见明确实质性病变。"),
             QStringLiteral("右侧胸腔外带见无肺纹理透亮区，内侧可见被压缩的肺组织边缘，右肺压缩约30%。纵隔未见明显移位。"),
         }},
        {QStringLiteral("胸部诊断"),
         {
             QStringLiteral("心肺膈未见明显异常。"),
             QStringLiteral("两肺纹理增多，考虑支气管炎改变，请结合临床。"),
             QStringLiteral("右下肺炎症，建议治疗后复查。"),
             QStringLiteral("双肺气肿。"),
             QStringLiteral("右侧少量胸腔积液。"),
             QStringLiteral("左上肺陈旧性结核灶。"),
             QStringLiteral("心影增大，请结合临床及心脏超声检查。"),
             QStringLiteral("右侧气胸，右肺压缩约30%。"),
         }},
        {QStringLiteral("四肢所见"),
         {
             QStringLiteral("所示诸骨骨质结构完整，骨皮质连续，骨小梁排列规则，未见明确骨折线。关节对位良好，"
                            "关节间隙无狭窄，关节面光整。周围软组织未见异常。"),
             QStringLiteral("桡骨远端见横行骨折线，远折端向背侧移位并向掌侧成角，周围软组织肿胀。"),
             QStringLiteral("膝关节诸骨边缘骨质增生变尖，髁间隆起变尖，关节间隙变窄，以内侧为著，关节面下骨质硬化。"),
             QStringLiteral("第五跖骨基底部见线状透亮影，断端对位尚可，周围软组织肿胀。"),
             QStringLiteral("肱骨外科颈骨皮质不连续，见斜行骨折线，断端轻度嵌插。"),
             QStringLiteral("股骨下段骨折内固定术后，钢板及螺钉位置良好，未见断裂及松脱，骨折线模糊，可见骨痂形成。"),
         }},
        {QStringLiteral("四肢诊断"),
         {
             QStringLiteral("所摄骨质未见明显异常。"),
             QStringLiteral("桡骨远端骨折。"),
             QStringLiteral("膝关节退行性变。"),
             QStringLiteral("第五跖骨基底部骨折。"),
             QStringLiteral("肱骨外科颈嵌插骨折。"),
             QStringLiteral("股骨骨折内固定术后，已见骨痂形成，请结合临床。"),
         }},
        {QStringLiteral("脊柱所见"),
         {
             QStringLiteral("颈椎生理曲度存在，各椎体序列整齐，椎体骨质未见异常，椎间隙未见狭窄，椎间孔无变小，"
                            "项韧带未见钙化。"),
             QStringLiteral("颈椎生理曲度变直，C4～C6椎体前后缘骨质增生变尖，C5/6椎间隙变窄，相应椎间孔变小。"),
             QStringLiteral("腰椎生理曲度存在，各椎体序列整齐，椎体骨质未见异常，椎间隙未见狭窄，附件未见异常。"),
             QStringLiteral("腰椎轻度侧弯，各椎体边缘骨质增生，呈唇样变，L4/5椎间隙变窄，小关节突模糊硬化。"),
             QStringLiteral("L1椎体呈楔形变，前缘压缩约1/3，骨皮质皱褶，椎体后缘连续。"),
             QStringLiteral("L5椎弓峡部见透亮裂隙，L5椎体向前滑脱约Ⅰ度。"),
         }},
        {QStringLiteral("脊柱诊断"),
         {
             QStringLiteral("颈椎未见明显异常。"),
             QStringLiteral("颈椎退行性变。"),
             QStringLiteral("腰椎未见明显异常。"),
             QStringLiteral("腰椎退行性变。"),
             QStringLiteral("L1椎体压缩性骨折。"),
             QStringLiteral("L5椎弓峡部裂并Ⅰ度滑脱。"),
         }},
        {QStringLiteral("腹部所见"),
         {
             QStringLiteral("两膈下未见游离气体，肠管未见明显扩张积气，未见气液平面。双侧腰大肌影清晰。"),
             QStringLiteral("两侧膈下见新月形游离气体影。"),
             QStringLiteral("中腹部小肠管扩张积气，可见多个阶梯状气液平面。结肠内未见明显积气。"),
             QStringLiteral("右肾区见类圆形致密影，大小约0.8cm×0.6cm，边缘清楚。"),
             QStringLiteral("双肾区及输尿管走行区未见明显阳性结石影，双侧腰大肌影清晰。"),
         }},
        {QStringLiteral("腹部诊断"),
         {
             QStringLiteral("腹部未见明显异常。"),
             QStringLiteral("膈下游离气体，考虑消化道穿孔，请结合临床。"),
             QStringLiteral("小肠梗阻，请结合临床。"),
             QStringLiteral("右肾结石。"),
             QStringLiteral("泌尿系未见明显阳性结石。"),
         }},
    };
    return list;
}

void SampleDictionaries::fill(const QString &path)
{
    // Opening a missing file would create one.
    if (!QFileInfo(path).isFile())
        throw Failure(QStringLiteral("数据库文件不存在：%1").arg(path));

    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString reason = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(SQLITE_NOMEM));
        sqlite3_close(db);
        throw Failure(QStringLiteral("无法写入示例字典：%1").arg(reason));
    }
    try {
        fillOpen(db, path);
    } catch (...) {
        sqlite3_close(db);
        throw;
    }
    sqlite3_close(db);
}
