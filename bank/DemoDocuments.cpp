// The documents that demo questions of types 5 and 6 quote: reading
// passages, poems, tasks and model answers. Each is written in a small
// markup and handed to the office as HTML:
//   a blank line separates blocks;
//   "## text" is a heading;
//   a block whose lines all start with "|" is a table, its first row the head;
//   any other block is a paragraph that keeps its line breaks (poems, letters).

#include "bank/DemoCourse.h"

#include <QStringList>

namespace tolvane::bank {

namespace {

struct Source {
    const char* name; // without ".doc"
    const char* title;
    const char* body;
};

const Source kSources[] = {
    {"complaint_situation", "Writing Task: A Letter of Complaint", R"(
On 3 October you bought a Brightline 500 coffee machine from Harper & Sons, 14 Market Street, Norwich NR2 1AB. It cost £89.99 and your order number is HS-40722.

## What went wrong

|Problem|When|
|The machine started to leak water onto the kitchen worktop.|After two weeks|
|The replacement jug the shop sent was cracked.|20 October|
|You phoned customer services twice; nobody called you back.|24 and 27 October|

## Your task

Write to the Customer Services Manager. Explain what happened, say what you have already done, and state clearly what you expect: either a full refund or a new machine delivered free of charge within fourteen days.

Write 150-200 words. Use a formal layout and a formal style.
)"},
    {"complaint_letter_model", "Model Answer: Letter of Complaint", R"(
27 Elm Road
Norwich NR3 4DT

30 October 2026

The Customer Services Manager
Harper & Sons
14 Market Street
Norwich NR2 1AB

Dear Sir or Madam,

Order HS-40722: Brightline 500 coffee machine

I am writing to complain about a coffee machine that I bought from your shop on 3 October for £89.99.

After only two weeks the machine began to leak water onto my kitchen worktop. Your shop kindly sent a replacement jug, but when it arrived on 20 October it was cracked and could not be used. I telephoned your customer services department on 24 and 27 October, and on both occasions I was promised a call back, which never came.

I am very disappointed with both the product and the service I have received. I would therefore be grateful if you would either refund the full price of the machine or deliver a new one, free of charge, within fourteen days of the date of this letter.

I enclose a copy of my receipt and look forward to hearing from you.

Yours faithfully,

Daniel Moore
)"},
    {"essay_mobile_phones_model",
     "Model Essay: Should Mobile Phones Be Banned in Secondary Schools?", R"(
Almost every teenager now carries a smartphone, and many teachers say that these devices have changed the atmosphere of the classroom. Some schools have therefore banned phones completely. Although a ban has real benefits, I believe that clear rules on when phones may be used are a better answer than a total ban.

The strongest argument for a ban is concentration. A phone that vibrates with messages pulls a student's attention away from the lesson, and even a phone lying silent on the desk is a temptation. Teachers also report that break times become quieter and lonelier when students look at screens instead of talking to each other. A ban, supporters say, gives young people a few hours a day free from social media and from online bullying.

On the other hand, phones are useful tools. Students use them to check a word in a dictionary, to photograph homework from the board or to record a science experiment. Many parents also want to reach their children on the way to and from school, especially in an emergency. A complete ban ignores these needs and is difficult to enforce: phones simply disappear into pockets.

A sensible compromise is to keep phones switched off and out of sight during lessons, unless the teacher asks students to use them for a task, and to allow them at lunch time in certain areas. Such rules teach young people to manage technology rather than pretending that it does not exist.

In conclusion, mobile phones can harm learning when they are used without limits, but they also bring benefits. Schools should not ban them outright; they should teach students when to switch them off.
)"},
    {"article_urban_gardens", "Gardens on the Rooftops", R"(
Look up in many of the world's big cities and you may see something surprising: vegetables. On the roofs of offices, car parks and blocks of flats, city dwellers are growing tomatoes, beans and herbs, and keeping bees. On the ground, too, empty plots that once collected rubbish have become community gardens.

Supporters point out that these gardens do much more than produce food. A roof covered with soil and plants keeps the building below cooler in summer and warmer in winter, which cuts energy bills. Plants absorb rainwater that would otherwise rush into overloaded drains, and they give birds and insects a place to live in an environment of concrete and glass.

The social benefits may be even greater. In a community garden in east London, neighbours who had lived on the same street for years without speaking now meet every Saturday to dig, plant and share what they harvest. Schools bring classes to see where food comes from, and older residents teach younger ones skills they learned as children.

The gardens are not without problems. Roofs must be strong enough to carry the weight of wet soil, and water has to be carried or pumped up to them. Many projects depend on volunteers and on small grants, and they can disappear when the land is sold for building. Critics also note that city gardens will never feed a whole city.

Even so, the movement is growing. Several city councils now require new buildings to include green roofs, and waiting lists for garden plots grow longer every year. For many people, a few square metres of earth above the traffic have become a small but valuable piece of the countryside.
)"},
    {"summary_urban_gardens_model", "Model Summary: Gardens on the Rooftops", R"(
The article describes the growing number of gardens on city rooftops and on empty plots of land. These gardens produce food, but they also keep buildings cooler and warmer, absorb rainwater and give wildlife a home. Just as important, they bring neighbours and generations together. However, roofs must be strong, water is hard to supply, and many projects depend on volunteers and may be lost when land is sold. Nevertheless, more cities are encouraging green roofs, and demand for garden plots keeps rising.

(85 words)
)"},
    {"college_travel_table", "Writing Task: How Students Travel to Riverside College", R"(
The table shows how the students of Riverside College travelled to college in 2015, 2020 and 2025, as a percentage of all students.

|Means of transport|2015|2020|2025|
|Car|38%|30%|21%|
|Bus|27%|29%|31%|
|Bicycle|12%|17%|24%|
|On foot|18%|19%|19%|
|Train|5%|5%|5%|

Write a report of about 150 words for the college newsletter. Describe the main changes and make comparisons where they are relevant.
)"},
    {"college_travel_report_model", "Model Answer: Travel to Riverside College", R"(
The table compares the ways in which students travelled to Riverside College in 2015, 2020 and 2025.

The most striking change is the decline of the car. In 2015 it was the most popular means of transport, used by 38% of students, but its share fell steadily to 30% in 2020 and to only 21% in 2025.

At the same time, cycling grew rapidly. The proportion of students who came by bicycle doubled, from 12% to 24%, so that by 2025 the bicycle had overtaken the car. The bus also gained in popularity, rising from 27% to 31%, and became the most common way to reach the college.

Other forms of transport changed very little. Walking remained at around one student in five (18-19%), and the train was used by just 5% of students throughout the period.

Overall, the figures show a clear shift away from private cars towards buses and bicycles.
)"},
    {"passage_lighthouse", "The Lighthouse Keeper", R"(
For forty years Tomas had climbed the hundred and twelve steps of the lighthouse on Carrick Point every evening before sunset. He wound the clockwork, polished the great lens until it shone and lit the lamp that warned ships away from the rocks below. The work was lonely, but he never complained. "The sea is company enough," he liked to say.

The storm of that November night was the worst he could remember. The wind was relentless; it screamed round the tower for hours and never paused for breath. Waves broke so high that spray hit the windows of the lamp room. Just after midnight, as Tomas checked the light, he saw something on the rocks to the north: a small fishing boat, its engine dead, drifting helplessly towards the reef.

There was no radio on Carrick Point, only an old telephone line to the village, and the line was down. Tomas did the only thing he could. He took the emergency lantern, climbed down to the gallery at the foot of the tower and began to signal, long and short, the way his father had taught him.

It was almost an hour before the lifeboat from Port Eynon rounded the headland. By morning the three fishermen were safe in the village, wrapped in blankets and drinking hot tea. When they came to thank him, Tomas only shrugged. "The light is there to keep people off the rocks," he said quietly. "Last night it just needed a little help."

The next spring the lighthouse became automatic, and Tomas moved to a cottage in the village. But every evening, just before sunset, he still walks to the end of the harbour wall to watch the light come on.
)"},
    {"lighthouse_summary_model", "Model Summary: The Lighthouse Keeper", R"(
Tomas, who had kept the Carrick Point lighthouse for forty years, saw a fishing boat drifting towards the rocks during a terrible storm. With the telephone line down, he signalled with a lantern until the lifeboat arrived and rescued the three fishermen. He modestly refused praise. After the light became automatic he moved to the village, but he still watches it every evening.

(64 words)
)"},
    {"poem_daffodils", "I Wandered Lonely as a Cloud (William Wordsworth, 1807)", R"(
I wandered lonely as a cloud
That floats on high o'er vales and hills,
When all at once I saw a crowd,
A host, of golden daffodils;
Beside the lake, beneath the trees,
Fluttering and dancing in the breeze.

Continuous as the stars that shine
And twinkle on the milky way,
They stretched in never-ending line
Along the margin of a bay:
Ten thousand saw I at a glance,
Tossing their heads in sprightly dance.

The waves beside them danced; but they
Out-did the sparkling waves in glee:
A poet could not but be gay,
In such a jocund company:
I gazed, and gazed, but little thought
What wealth the show to me had brought:

For oft, when on my couch I lie
In vacant or in pensive mood,
They flash upon that inward eye
Which is the bliss of solitude;
And then my heart with pleasure fills,
And dances with the daffodils.
)"},
    {"poem_daffodils_appreciation",
     "Model Answer: A Critical Appreciation of \"I Wandered Lonely as a Cloud\"", R"(
In this short lyric Wordsworth describes a walk beside a lake, where he suddenly comes upon a great mass of daffodils, and the lasting joy that the memory of the scene gives him.

The poem opens with a simile: the speaker is "lonely as a cloud", drifting without purpose above the valleys. The sight of the flowers ends this loneliness, because Wordsworth presents them almost as people. They are a "crowd", a "host" and a "jocund company"; they are "dancing" and "tossing their heads". This personification makes nature a lively companion rather than a backdrop.

The second stanza enlarges the scene with a second simile, comparing the flowers to the countless stars of the Milky Way, and with the exaggeration of "ten thousand saw I at a glance". In the third stanza even the waves dance, but the daffodils "out-did" them, so that the poet "could not but be gay".

The turn comes in the last stanza, which moves from past to present tense. Lying on his couch "in vacant or in pensive mood", the poet sees the flowers again with "that inward eye", his memory, and his heart "dances with the daffodils". The real "wealth" of the experience is this power to return in solitude.

The form supports the theme. Each stanza has six lines of iambic tetrameter rhymed ababcc, and the regular, lilting rhythm imitates the dancing movement of the flowers. The closing couplets give each stanza a sense of completion.

The poem is a celebration of nature and of imagination: a moment of beauty, remembered, can restore happiness long afterwards.
)"},
    {"unpunctuated_paragraph", "Punctuation Exercise", R"(
Rewrite the paragraph below with the correct punctuation and capital letters.

on saturday morning my sister emma and i took the early train to york we wanted to see the minster the city walls and the railway museum before lunch when we arrived it was raining so we went to the museum first emma who loves old engines spent an hour looking at the mallard my grandmothers favourite train where shall we go next she asked the minster i said and after that a cup of tea
)"},
    {"punctuated_paragraph_key", "Key: Punctuation Exercise", R"(
On Saturday morning my sister Emma and I took the early train to York. We wanted to see the Minster, the city walls and the railway museum before lunch. When we arrived it was raining, so we went to the museum first. Emma, who loves old engines, spent an hour looking at the Mallard, my grandmother's favourite train. "Where shall we go next?" she asked. "The Minster," I said, "and after that, a cup of tea."
)"},
    {"sonnet18", "Sonnet 18 (William Shakespeare, 1609)", R"(
Shall I compare thee to a summer's day?
Thou art more lovely and more temperate:
Rough winds do shake the darling buds of May,
And summer's lease hath all too short a date;
Sometime too hot the eye of heaven shines,
And often is his gold complexion dimm'd;
And every fair from fair sometime declines,
By chance or nature's changing course untrimm'd;
But thy eternal summer shall not fade,
Nor lose possession of that fair thou ow'st;
Nor shall death brag thou wander'st in his shade,
When in eternal lines to time thou grow'st:
So long as men can breathe or eyes can see,
So long lives this, and this gives life to thee.
)"},
    {"sonnet18_paraphrase", "Model Answer: A Paraphrase of Sonnet 18, Lines 1-4", R"(
Should I compare you to a summer's day? You are lovelier and gentler than summer. Strong winds shake the delicate buds of May, and summer lasts far too short a time.
)"},
    {"email_draft", "Email Draft", R"(
To: r.thompson@riverside-college.ac.uk
Subject: essay

hey mr thompson

im writting about the asignment for next week. i recieved the instructions but i dont get what we have to do for part 2 and its due tommorow?? can you tell me what to do, i will definately hand it in on time if you help me. also can i do it about a different book because i didnt like the one we read alot.

thx
jake
)"},
    {"email_draft_corrected", "Model Answer: The Email Rewritten", R"(
To: r.thompson@riverside-college.ac.uk
Subject: Question about Part 2 of the essay assignment

Dear Mr Thompson,

I am writing about the essay assignment that is due next week. I have received the instructions, but I am not sure what is required in Part 2. Could you explain it briefly, or suggest where I might find an example?

I would also like to ask whether I might write about a different novel from the one we studied in class. If so, could you let me know which books would be suitable?

Thank you for your help. I will make sure that the essay is handed in on time.

Kind regards,

Jake Wilson
Class 2B
)"},
    {"story_extract_station", "Story Extract: The Last Train", R"(
The station at Holloway Cross had one lamp, and it was not a good one. I stood beneath it anyway, stamping my feet against the cold, because the yellow circle of light on the platform was the only warm-looking thing for miles.

The last train was due at ten past nine. Daniel had written that he would be on it. "Look for the tall man with the ridiculous scarf," his letter said, as if I might have forgotten my own brother. But it had been eleven years, and I was no longer sure what I remembered and what I had invented.

At nine o'clock the stationmaster came out of his little office, glanced at me, and went back inside. Snow had begun to fall, soft and slow, across the empty tracks. I checked the letter again, although I knew every word of it. Ten past nine. Holloway Cross.

At a quarter past, the rails began to hum. Two lights appeared in the darkness beyond the bridge and grew larger, and the train slid in beside me with a long sigh. A door opened at the far end of the platform. Someone stepped down, a shape in a long coat, and stood still, looking towards the lamp.

He was not tall, and he wore no scarf at all.
)"},
    {"essay_free_university_intro",
     "Model Answer: Introduction to \"Should University Education Be Free?\"", R"(
In many countries, students leave university with debts that take decades to repay, while in others a degree costs nothing at all. The question of who should pay for higher education is therefore one of the most debated issues in education policy. Those who oppose free tuition argue that taxpayers should not fund the studies of people who will later earn higher salaries. However, a well-educated population benefits everyone: it drives innovation, strengthens the economy and widens opportunity for talented young people from poorer families. This essay will argue that university education should be free, because its benefits reach the whole of society and not only the individual student.
)"},
};

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

QString tableHtml(const QStringList& lines) {
    QString html = QStringLiteral("<table border=\"1\" cellpadding=\"4\" cellspacing=\"0\">\n");
    for (int r = 0; r < lines.size(); ++r) {
        QString line = lines[r].trimmed();
        line = line.mid(1);
        if (line.endsWith('|'))
            line.chop(1);
        const char* cell = r == 0 ? "th" : "td";
        html += QStringLiteral("<tr>");
        for (const QString& c : line.split('|'))
            html += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(cell), escaped(c.trimmed()));
        html += QStringLiteral("</tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

QString documentHtml(const Source& s) {
    const QString title = QString::fromUtf8(s.title);
    QString html = QStringLiteral("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">"
                                  "<title>%1</title></head>\n<body>\n<h2>%1</h2>\n")
                       .arg(escaped(title));
    const QStringList blocks =
        QString::fromUtf8(s.body).trimmed().split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (const QString& block : blocks) {
        const QStringList lines = block.trimmed().split('\n');
        if (lines.first().startsWith(QLatin1String("## "))) {
            html += QStringLiteral("<h3>%1</h3>\n").arg(escaped(lines.first().mid(3)));
            continue;
        }
        bool table = true;
        for (const QString& l : lines)
            table = table && l.trimmed().startsWith('|');
        if (table) {
            html += tableHtml(lines);
            continue;
        }
        QStringList parts;
        for (const QString& l : lines)
            parts << escaped(l.trimmed());
        html +=
            QStringLiteral("<p>") + parts.join(QStringLiteral("<br>\n")) + QStringLiteral("</p>\n");
    }
    return html + QStringLiteral("</body></html>\n");
}

} // namespace

QList<DemoDocument> demoDocuments() {
    QList<DemoDocument> docs;
    for (const Source& s : kSources)
        docs.append({QString::fromUtf8(s.name) + QStringLiteral(".doc"), documentHtml(s)});
    return docs;
}

} // namespace tolvane::bank
