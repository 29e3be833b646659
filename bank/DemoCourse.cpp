// The demo course: an English language course with questions of all six
// types, written so that a lecturer can try every window on it. The texts are
// tables here; writeDemoCourse() only stores them.

#include "bank/DemoCourse.h"

#include "db/Query.h"
#include "db/Schema.h"

#include <QRegularExpression>
#include <QSet>

#include <cstring>
#include <numeric>
#include <stdexcept>

namespace tolvane::bank {

namespace {

constexpr int Easy = 12;
constexpr int Medium = 13;
constexpr int Hard = 14;

struct Chapter {
    const char* code; // a whole number for a chapter, n.m for one of its sections
    const char* name;
};

// In code order, for reading; stored in another order (see writeChapters).
// No section code has two digits after the point: the chapter tree reads
// codes as numbers, so 1.10 would show as 1.1 and match no question.
const Chapter kChapters[] = {
    {"1", "Parts of Speech"},
    {"1.1", "Nouns and Pronouns"},
    {"1.2", "Verbs and Tenses"},
    {"1.3", "Adjectives and Adverbs"},
    {"2", "Sentence Structure"},
    {"2.1", "Clauses and Phrases"},
    {"2.2", "Subject-Verb Agreement"},
    {"2.3", "Punctuation"},
    {"3", "Vocabulary and Usage"},
    {"3.1", "Word Formation"},
    {"3.2", "Commonly Confused Words"},
    {"4", "Reading and Writing"},
    {"4.1", "Reading Comprehension"},
    {"4.2", "Paragraphs and Essays"},
    {"4.3", "Letters and Emails"},
    {"4.4", "Summary Writing"},
    {"5", "Literature"},
    {"5.1", "Poetry"},
    {"5.2", "Prose Fiction"},
};
constexpr int kChapterCount = sizeof(kChapters) / sizeof(kChapters[0]);
// The rows are stored visiting the table with this stride, which mixes
// chapters and sections; it must share no factor with the table's size so
// that every row is visited once.
constexpr int kStorageStride = 7;
static_assert(std::gcd(kStorageStride, kChapterCount) == 1);

struct Choice { // XuanZeTi
    const char* section;
    int ny;
    const char* tm;
    const char* a;
    const char* b;
    const char* c;
    const char* d;
    const char* da;
};

const Choice kChoices[] = {
    {"1.1", Easy, "Which of the following words is a collective noun?", "flock", "quickly",
     "beautiful", "run", "A"},
    {"1.1", Medium,
     R"(Choose the correct pronoun: "Between you and ____, the plan will not work.")", "I", "me",
     "myself", "mine", "B"},
    {"1.1", Hard, R"(In which sentence is "whom" used correctly?)", "Whom is calling at this hour?",
     "The candidate whom we interviewed has accepted the post.", "Whom do you think is right?",
     "She is the one whom sent the letter.", "B"},
    {"1.2", Easy, R"(What is the past simple of the verb "write"?)", "writed", "wrote", "written",
     "writes", "B"},
    {"1.2", Medium, "By the time the guests arrived, we ____ dinner.", "finish", "have finished",
     "had finished", "will finish", "C"},
    {"1.2", Medium, "Which sentence is in the passive voice?", "The committee approved the budget.",
     "The budget was approved by the committee.", "The committee is approving the budget.",
     "The committee will approve the budget.", "B"},
    {"1.2", Hard, "Which sentence uses the subjunctive correctly?",
     "If I was you, I would apologise.", "I wish I were taller.", "She insisted that he goes home.",
     "If he will come, we will start.", "B"},
    {"1.3", Easy, R"(Which word is an adverb in "She sang beautifully at the concert"?)", "She",
     "sang", "beautifully", "concert", "C"},
    {"1.3", Easy, R"(Complete the sentence: "This book is ____ than the one I read last week.")",
     "more interesting", "most interesting", "interestinger", "the most interesting", "A"},
    {"1.3", Hard, "Which phrase puts the adjectives in the natural English order?",
     "a wooden old small box", "a small old wooden box", "an old wooden small box",
     "a wooden small old box", "B"},
    {"2.1", Medium, "Which of the following is a dependent clause?", "The train left early.",
     "because the train left early", "We missed it.", "Trains leave early.", "B"},
    {"2.1", Hard,
     R"(In "The man who lives next door is a pilot", the words "who lives next door" form)",
     "a noun clause", "an adverbial clause", "a relative clause", "a prepositional phrase", "C"},
    {"2.2", Easy, R"(Choose the correct verb: "Each of the students ____ a laptop.")", "have",
     "has", "are having", "were having", "B"},
    {"2.2", Medium,
     R"(Choose the correct verb: "Neither the teacher nor the pupils ____ aware of the change.")",
     "was", "is", "were", "has been", "C"},
    {"2.3", Easy, "Which sentence is punctuated correctly?", "Its a lovely day.",
     "It's a lovely day.", "Its' a lovely day.", "It,s a lovely day.", "B"},
    {"2.3", Medium,
     R"(Which mark correctly joins the two clauses in "The shops were closed ____ we went home"?)",
     "a comma", "a semicolon", "an apostrophe", "a hyphen", "B"},
    {"3.1", Easy, R"(Which prefix makes the opposite of "possible"?)", "un-", "dis-", "im-", "in-",
     "C"},
    {"3.1", Medium, R"(Which word is the noun formed from the verb "decide"?)", "decisive",
     "decision", "decidedly", "decider", "B"},
    {"3.2", Easy, R"(Choose the correct word: "The weather will ____ our plans for the weekend.")",
     "affect", "effect", "infect", "defect", "A"},
    {"3.2", Hard, "Which sentence is correct?",
     "The principal reason for the delay was the weather.",
     "The principle reason for the delay was the weather.", "She stuck to her principals.",
     "The principal of free speech matters to us all.", "A"},
    {"4.1", Easy, "The sentence that states the main idea of a paragraph is called the",
     "topic sentence", "concluding remark", "transition", "footnote", "A"},
    {"4.3", Medium, R"(A formal letter that begins "Dear Sir or Madam" should end with)",
     "Yours sincerely", "Yours faithfully", "Best wishes", "See you soon", "B"},
    {"5.1", Easy, "A poem of fourteen lines with a fixed rhyme scheme is a", "limerick", "haiku",
     "sonnet", "ballad", "C"},
    {"5.1", Medium, R"("The wind whispered through the trees" is an example of)", "simile",
     "personification", "alliteration", "hyperbole", "B"},
    {"5.1", Hard, "A line of verse made of five iambic feet is written in", "iambic tetrameter",
     "trochaic pentameter", "iambic pentameter", "free verse", "C"},
    {"5.2", Easy, R"(A story told by a character who calls himself "I" is written in the)",
     "first person", "second person", "third person limited", "third person omniscient", "A"},
    {"5.2", Hard,
     "When the audience knows something that a character does not, the effect is called",
     "dramatic irony", "foreshadowing", "flashback", "satire", "A"},
    {"1", Medium, "How many parts of speech does traditional English grammar name?", "six", "seven",
     "eight", "ten", "C"},
};

struct Blanks { // TianKong: the blanks are the runs of underscores in the text
    const char* section;
    int ny;
    const char* tm;
    const char* k[5];
};

const Blanks kBlanks[] = {
    {"1.1",
     Easy,
     R"(The plural of "child" is ____ and the plural of "mouse" is ____.)",
     {"children", "mice"}},
    {"1.1",
     Medium,
     R"(In "She gave him the book", "him" is the ____ object and "the book" is the ____ object.)",
     {"indirect", "direct"}},
    {"1.2", Easy, R"(The three forms of the verb "go" are go, ____ and ____.)", {"went", "gone"}},
    {"1.2",
     Medium,
     "The present perfect is formed with the auxiliary ____ and the past ____ of the verb.",
     {"have (has)", "participle"}},
    {"1.2",
     Hard,
     R"(In reported speech "I will come" becomes "he said he ____ come", and "I am tired" becomes "he said he ____ tired".)",
     {"would", "was"}},
    {"1.3",
     Easy,
     R"(The comparative of "good" is ____ and its superlative is ____.)",
     {"better", "best"}},
    {"1.3", Medium, R"(The adverb formed from the adjective "happy" is ____.)", {"happily"}},
    {"2.1",
     Medium,
     "A sentence with one independent clause and at least one dependent clause is a ____ sentence.",
     {"complex"}},
    {"2.1",
     Hard,
     "By structure, sentences are simple, ____, ____ or ____.",
     {"compound", "complex", "compound-complex"}},
    {"2.2", Easy, R"(Complete with "is" or "are": "The news ____ good today.")", {"is"}},
    {"2.2",
     Hard,
     R"(A collective noun such as "team" usually takes a ____ verb in American English, but often a ____ verb in British English when the members act separately.)",
     {"singular", "plural"}},
    {"2.3",
     Easy,
     "A question ends with a ____ mark and an exclamation ends with an ____ mark.",
     {"question", "exclamation"}},
    {"2.3",
     Medium,
     R"(The possessive of "James" may be written "James's" or ____; the possessive of the plural "teachers" is ____.)",
     {"James'", "teachers'"}},
    {"3.1",
     Medium,
     "Add a suffix to make a noun: kind becomes ____, move becomes ____, free becomes ____.",
     {"kindness", "movement", "freedom"}},
    {"3.1",
     Easy,
     R"(The prefixes "bi-", "tri-" and "multi-" mean ____, ____ and ____.)",
     {"two", "three", "many"}},
    {"3.2",
     Easy,
     R"(Complete with their, there or they're: "____ going to the library; ____ car is parked outside; the books are over ____.")",
     {"They're", "Their", "there"}},
    {"3.2",
     Hard,
     R"(Complete with "lie" or "lay" in the right form: "Yesterday I ____ down for an hour after I had ____ the baby in her cot.")",
     {"lay", "laid"}},
    {"4.2",
     Easy,
     "A well-built essay has an ____, a body of several paragraphs and a ____.",
     {"introduction", "conclusion"}},
    {"4.4",
     Medium,
     "A good summary keeps the ____ ideas, leaves out ____ and examples, and is written in the "
     "writer's own ____.",
     {"main", "details", "words"}},
    {"5.1",
     Easy,
     R"(The repetition of the first consonant sound, as in "Peter Piper picked", is called ____.)",
     {"alliteration"}},
    {"5.1",
     Hard,
     "A Shakespearean sonnet has ____ lines: three ____ and a closing ____, rhymed abab cdcd efef "
     "____.",
     {"fourteen", "quatrains", "couplet", "gg"}},
    {"5.2",
     Hard,
     "The five stages of a classic plot, in order, are ____, ____, ____, ____ and ____.",
     {"exposition", "rising action", "climax", "falling action", "resolution"}},
    {"4",
     Easy,
     "Skimming means reading quickly for the ____ of a text; scanning means searching it for a "
     "particular ____.",
     {"gist (general idea)", "detail (piece of information)"}},
};

struct Answered { // JianDaTi and YuanLiLunShu
    const char* section;
    int ny;
    const char* tm;
    const char* da;
};

const Answered kShortAnswers[] = {
    {"1.1", Easy,
     "What is the difference between a common noun and a proper noun? Give one example of each.",
     "A common noun names any member of a class of people, places or things (city, teacher); a "
     "proper noun names one particular person, place or thing and begins with a capital letter "
     "(London, Mrs Patel)."},
    {"1.2", Medium,
     "Explain the difference between the past simple and the present perfect, with an example of "
     "each.",
     "The past simple describes a finished action at a definite time in the past (I visited Rome "
     "in 2019). The present perfect links the past with the present: the time is not stated or the "
     "result still matters now (I have visited Rome twice)."},
    {"1.2", Hard,
     R"(Rewrite in the passive voice: "The council will build a new bridge next year.")",
     "A new bridge will be built (by the council) next year."},
    {"1.3", Easy, R"(Correct the sentence and explain the correction: "She drives very careful.")",
     R"(She drives very carefully. "Drives" is a verb, so it is described by the adverb "carefully", not by the adjective "careful".)"},
    {"2.1", Medium,
     R"(What is a sentence fragment? Correct this one: "Although she had studied all night.")",
     "A fragment is a group of words punctuated as a sentence but lacking a main clause. "
     "Correction: Although she had studied all night, she felt ready for the exam."},
    {"2.1", Hard,
     R"(Join the two sentences with a relative clause: "The novel won a prize. It was written by a teacher from Leeds.")",
     "The novel, which was written by a teacher from Leeds, won a prize. (Also: The novel that a "
     "teacher from Leeds wrote won a prize.)"},
    {"2.2", Easy, R"(Correct the agreement error: "The list of items are on the desk.")",
     R"(The list of items is on the desk. The subject is "list", which is singular; "of items" does not change the number of the subject.)"},
    {"2.3", Medium, R"(What is a comma splice? Correct it in: "It was late, we went home.")",
     "A comma splice joins two independent clauses with a comma alone. Corrections: It was late, "
     "so we went home. / It was late; we went home. / It was late. We went home."},
    {"2.3", Hard, "Punctuate the direct speech: she asked are you coming to the meeting tomorrow",
     R"(She asked, "Are you coming to the meeting tomorrow?")"},
    {"3.1", Medium, "What is a compound word? Give three examples.",
     "A compound word is made by joining two or more words into one with a new meaning: "
     "classroom, toothbrush, mother-in-law, ice cream."},
    {"3.2", Medium,
     R"(Explain the difference between "fewer" and "less", with an example of each.)",
     R"("Fewer" is used with plural countable nouns (fewer students); "less" with uncountable nouns (less time, less water).)"},
    {"3.2", Easy, R"(Use "accept" and "except" correctly in one sentence each.)",
     R"(I accept your apology. ("accept" is a verb: to receive or agree to.) Everyone came except Tom. ("except" means "but" or "apart from".))"},
    {"4.1", Medium,
     "What is the difference between a fact and an opinion in a text? Give an example of each.",
     "A fact can be checked and shown to be true or false (The Thames flows through London). An "
     "opinion expresses a belief or feeling and cannot be proved (London is the most exciting city "
     "in Europe)."},
    {"4.3", Easy, "Name the parts of a formal letter in their order.",
     "The sender's address, the date, the recipient's name and address, the salutation (Dear ...), "
     "the body, the closing (Yours faithfully / Yours sincerely), the signature and the printed "
     "name."},
    {"4.4", Hard, "Why should a summary avoid copying whole sentences from the original text?",
     "A summary must show that the writer has understood the text: restating the ideas in one's "
     "own words proves understanding, makes the summary shorter and avoids plagiarism."},
    {"5.1", Medium,
     "What is the difference between a simile and a metaphor? Give one example of each.",
     R"(A simile compares two things using "like" or "as" (Her smile was like sunshine); a metaphor says that one thing is another (Her smile was sunshine).)"},
    {"5.2", Hard, "Explain the difference between the narrator and the author of a novel.",
     "The author is the real person who wrote the book. The narrator is the voice that tells the "
     "story inside the book; it may be a character with its own views and may even be unreliable."},
    {"2", Easy, "What two parts does every complete sentence have?",
     "A subject and a predicate containing a finite verb: for example, \"Birds\" (subject) "
     "\"sing\" (predicate)."},
};

const Answered kEssays[] = {
    {"1.1", Medium,
     "Explain the functions of pronouns in English and describe the main kinds of pronoun, with "
     "examples.",
     "Pronouns replace nouns to avoid repetition and to link sentences. Kinds: personal (I, you, "
     "she, them), possessive (mine, yours), reflexive (myself, themselves), relative (who, which, "
     "that), demonstrative (this, those), interrogative (who? what?) and indefinite (someone, "
     "nobody). A good answer gives examples and notes subject and object forms (I / me)."},
    {"1.2", Hard,
     "Discuss the ways English expresses future time. Explain at least four forms and the "
     "differences in meaning between them.",
     "will + infinitive: predictions and decisions made now (I'll answer it). going to: plans and "
     "evidence-based predictions (It's going to rain). Present continuous: fixed arrangements (I'm "
     "meeting Sam at six). Present simple: timetables (The train leaves at 9). Future continuous "
     "and future perfect: actions in progress or completed by a future time. Credit examples and "
     "clear contrasts."},
    {"1.3", Medium,
     "Explain how adverbs differ from adjectives in function and in form. Discuss words that can "
     "be both.",
     "Adjectives describe nouns (a quick answer); adverbs describe verbs, adjectives or other "
     "adverbs (answer quickly, very quick). Most adverbs add -ly, but some words keep one form for "
     "both: fast, hard, early, late (a fast car / drive fast). Note hardly and lately have "
     "different meanings."},
    {"2.1", Hard,
     "Discuss how varying sentence structure (simple, compound and complex sentences) affects the "
     "style and clarity of a piece of writing.",
     "Simple sentences give emphasis and clarity but become monotonous; compound sentences link "
     "equal ideas; complex sentences show relations of cause, time and condition and subordinate "
     "minor ideas. Good writers vary length and structure for rhythm, use short sentences for "
     "effect and avoid long, tangled ones. Examples from a text are expected."},
    {"2.2", Medium,
     "Explain the rules of subject-verb agreement for compound subjects, indefinite pronouns and "
     "collective nouns.",
     "Subjects joined by and take a plural verb; with or / nor the verb agrees with the nearer "
     "subject. Indefinite pronouns such as each, everyone, nobody are singular; both, few, many "
     "are plural; some, all, none depend on the noun. Collective nouns take a singular verb for "
     "the group as one, a plural verb (in British English) for its members acting separately."},
    {"2.3", Easy,
     "Explain the uses of the apostrophe in English and describe the most common mistakes.",
     "Apostrophes show possession (the dog's bowl, the dogs' bowls) and omission in contractions "
     "(it's, don't). Common mistakes: its / it's, plurals written with an apostrophe (apple's for "
     "sale), and the wrong place in plural possessives (the childrens' toys)."},
    {"3.1", Medium,
     "Explain how English forms new words by affixation, compounding, conversion and borrowing, "
     "with examples.",
     "Affixation adds prefixes and suffixes (unhappy, happiness); compounding joins words "
     "(laptop, website); conversion changes the word class without change of form (to email, a "
     "run); borrowing takes words from other languages (cafe, tsunami, algebra). Mention also "
     "blends (brunch) and clipping (phone)."},
    {"3.2", Easy,
     "Why do homophones cause spelling mistakes? Discuss strategies a writer can use to avoid "
     "them.",
     "Homophones sound the same but differ in spelling and meaning (there / their / they're, "
     "to / too / two), so a writer who spells by sound picks the wrong one and spell checkers "
     "miss it. Strategies: learn the common sets, test with the full form (it is), read aloud "
     "slowly, keep a personal list, proofread separately for them."},
    {"4.1", Hard,
     "Describe the strategies of an active reader before, during and after reading an academic "
     "text.",
     "Before: survey the title, headings and abstract, set a purpose, recall what you know. "
     "During: skim then read closely, annotate, question the argument, note unknown words, "
     "distinguish fact from opinion. After: summarise, review notes, evaluate the evidence and "
     "connect it with other sources."},
    {"4.2", Medium, "Explain the structure of an argumentative essay and the purpose of each part.",
     "Introduction with background and a clear thesis; body paragraphs, each with a topic "
     "sentence, evidence and explanation; a paragraph that answers the opposing view; a "
     "conclusion that restates the thesis and leaves a final thought. Linking words guide the "
     "reader through the argument."},
    {"4.3", Easy, "Compare formal and informal emails in purpose, tone, vocabulary and layout.",
     "Formal emails (to tutors, employers) use a clear subject line, Dear ... / Kind regards, "
     "full forms, polite indirect requests and no slang. Informal emails (to friends) may open "
     "with Hi, use contractions, everyday vocabulary and a relaxed tone. Both should be clear, "
     "brief and checked before sending."},
    {"4.4", Hard, "Describe, step by step, a method of writing a summary of a long article.",
     "Read the whole article for the gist; read again and mark the main idea of each section; "
     "list the key points and leave out examples, figures and repetition; write a first sentence "
     "with the source and its main idea; join the points in your own words with linking words; "
     "check the length and that no opinion of your own was added."},
    {"5.1", Hard,
     "Discuss how rhythm and rhyme contribute to the meaning of a poem. Refer to at least one "
     "poem you have studied.",
     "Rhythm (metre) gives a poem its movement: a regular beat can suggest calm or a song, a "
     "broken one tension or speech. Rhyme links words and ideas, marks the end of stanzas and "
     "gives closure, as in the couplet of a sonnet. A good answer analyses examples, e.g. the "
     "iambic pentameter and final couplet of Shakespeare's Sonnet 18."},
    {"5.2", Medium,
     "Explain the elements of a short story (setting, character, plot, conflict and theme) and how "
     "they work together.",
     "Setting is the time and place; characters are the people, shown through action and speech; "
     "the plot is the sequence of events built round a conflict (person against person, nature "
     "or self); the theme is the central idea. In a good story the setting shapes the conflict, "
     "the conflict reveals character and the resolution expresses the theme."},
    {"5", Easy, "Why do we study literature in an English language course? Give three reasons.",
     "Literature shows the language used richly and precisely; it builds vocabulary and reading "
     "skills; it gives material for discussion and writing; it opens other cultures and "
     "experiences and trains critical thinking."},
};

struct Design { // XiTongSheJi
    const char* section;
    int ny;
    const char* tm;
    const char* da;
    const char* tmbg; // question document, "" for none
    const char* dabg; // answer document, "" for none
};

const Design kDesigns[] = {
    {"4.3", Medium,
     "Read the situation in the quoted document and write a formal letter of complaint of "
     "150-200 words.",
     "Formal layout with both addresses and the date; Dear Sir or Madam; first paragraph gives "
     "the reason for writing and the order details; then the faults and what was already done; "
     "then the remedy expected and a deadline; Yours faithfully. See the model letter.",
     "complaint_situation.doc", "complaint_letter_model.doc"},
    {"4.2", Hard,
     R"(Write an argumentative essay of about 350 words: "Mobile phones should be banned in secondary schools." Discuss both sides and give your own view.)",
     "Introduction with a clear thesis; two or three paragraphs of arguments with examples; one "
     "paragraph answering the other side; a conclusion. See the model essay.",
     "", "essay_mobile_phones_model.doc"},
    {"4.4", Hard,
     "Read the article in the quoted document and summarise it in no more than 100 words.",
     "Main idea: rooftop and community gardens make cities greener and bring neighbours "
     "together, though they need water, money and care. See the model summary.",
     "article_urban_gardens.doc", "summary_urban_gardens_model.doc"},
    {"4.2", Medium,
     "The table in the quoted document shows how the students of a college travelled there in "
     "three years. Write a report of about 150 words describing the main changes.",
     "Introduce the table; describe the fall in car use and the rise of cycling and the bus; "
     "note that walking and train stayed steady; compare figures; conclude with the overall "
     "trend. See the model report.",
     "college_travel_table.doc", "college_travel_report_model.doc"},
    {"4.3", Easy,
     "Write a short email (about 80 words) to a classmate inviting them to a study group. Say "
     "when and where it meets and what to bring.",
     "Hi Sam, Would you like to join our study group for the grammar test? We meet on Thursday "
     "at four in Room 12 of the library. Please bring your notes on tenses and a few practice "
     "questions. We'll finish by six and go for a coffee afterwards. Let me know if you can come! "
     "Best wishes, Anna",
     "", ""},
    {"4.3", Medium,
     "Write a formal email to your course tutor asking for one more week for your essay. Give "
     "your reason and propose a new date.",
     "A clear subject line (Request for an extension); Dear Dr Evans; the request and the "
     "reason (illness, with a note from the doctor); the new date proposed; thanks; Kind "
     "regards and full name with the course.",
     "", ""},
    {"4.2", Easy,
     "Write a descriptive paragraph of about 100 words about a place that is important to you. "
     "Use at least three of the senses.",
     "A topic sentence that names the place and its importance; details of sight, sound, smell, "
     "touch or taste; precise adjectives and verbs; a closing sentence with the writer's "
     "feeling.",
     "", ""},
    {"4.1", Medium,
     "Write five comprehension questions on the passage in the quoted document: two on facts, "
     "two on vocabulary and one on the writer's attitude.",
     "For example: Why did the keeper climb the tower every evening? What did he find on the "
     "rocks? What does \"relentless\" mean in paragraph two? Find a word meaning \"calm\". How "
     "does the writer feel about the old keeper?",
     "passage_lighthouse.doc", ""},
    {"5.1", Hard,
     "Read the poem in the quoted document and write a critical appreciation of about 250 words.",
     "Subject and situation; the speaker's mood and its change in the last stanza; imagery and "
     "personification of the daffodils; the simile of the cloud; the regular rhyme (ababcc) and "
     "metre; the theme of memory. See the model appreciation.",
     "poem_daffodils.doc", "poem_daffodils_appreciation.doc"},
    {"5.2", Medium,
     R"(Write the opening of a short story (about 200 words) that begins: "The letter had been waiting on the doormat for three days.")",
     "Marked on a clear narrator and point of view, a setting in few strong details, a hint of "
     "conflict or mystery, varied sentences and correct past tenses.",
     "", ""},
    {"3.2", Easy,
     "Write a paragraph of about 80 words that uses each of these words correctly: their, there, "
     "they're, its, it's.",
     "For example: My neighbours say they're moving next month. Their new house is in the "
     "village, and there is a garden with its own pond. It's a big change for them.",
     "", ""},
    {"2.3", Hard,
     "The quoted document holds a paragraph written without punctuation or capital letters. "
     "Rewrite it correctly punctuated.",
     "See the key: sentences, capitals for names and places, commas in the list, the "
     "apostrophe in \"grandmother's\" and the direct speech punctuated.",
     "unpunctuated_paragraph.doc", "punctuated_paragraph_key.doc"},
    {"4", Medium, "Write a book review of about 200 words of a novel you have read this term.",
     "Title, author and genre; a short outline without the ending; comment on characters, style "
     "and theme with examples; a recommendation to a particular reader.",
     "", ""},
};

struct SubAnswer {
    const char* da;
    const char* dabg; // "" for none
};

struct Operation { // XiTongCZ: one to five sub-questions, the rest left null
    const char* section;
    int ny;
    const char* tm;
    const char* tmbg; // "" for none
    SubAnswer parts[5];
};

const Operation kOperations[] = {
    {"4.1",
     Medium,
     "Read the passage \"The Lighthouse Keeper\" in the quoted document and answer the questions.\n"
     "(1) How long had Tomas kept the light?\n"
     "(2) What did he see on the rocks during the storm?\n"
     "(3) Explain the meaning of \"relentless\" as it is used in the passage.\n"
     "(4) Summarise the passage in about 60 words.",
     "passage_lighthouse.doc",
     {{"For forty years.", ""},
      {"A small fishing boat with its engine dead, drifting towards the rocks.", ""},
      {"Never stopping or growing weaker; here the wind that would not stop blowing.", ""},
      {"See the model summary.", "lighthouse_summary_model.doc"}}},
    {"5.1",
     Hard,
     "Read Shakespeare's Sonnet 18 in the quoted document.\n"
     "(1) What is the rhyme scheme of the poem?\n"
     "(2) What is compared with what in the first line?\n"
     "(3) Explain \"thy eternal summer shall not fade\".\n"
     "(4) How does the final couplet answer the rest of the poem?\n"
     "(5) Paraphrase lines 1 to 4 in modern English.",
     "sonnet18.doc",
     {{"abab cdcd efef gg", ""},
      {"The person addressed is compared with a summer's day.", ""},
      {"The loved one's beauty will not fade like a real summer, because the poem keeps it.", ""},
      {"It explains how the beauty survives: as long as people read the poem, it lives.", ""},
      {"See the model paraphrase.", "sonnet18_paraphrase.doc"}}},
    {"4.3",
     Medium,
     "The email in the quoted document was written to a tutor in a hurry.\n"
     "(1) Find and correct five spelling mistakes.\n"
     "(2) Rewrite the email in a suitable formal style.",
     "email_draft.doc",
     {{"writting: writing; asignment: assignment; recieved: received; tommorow: tomorrow; "
       "definately: definitely (also alot: a lot).",
       ""},
      {"See the corrected email.", "email_draft_corrected.doc"}}},
    {"1.2",
     Easy,
     "Put the verbs in brackets into the correct tense.\n"
     "(1) She (live) in Paris since 2019.\n"
     "(2) When I arrived, the film (already start).\n"
     "(3) Look at those clouds! It (rain).",
     "",
     {{"has lived (has been living)", ""}, {"had already started", ""}, {"is going to rain", ""}}},
    {"1.1",
     Easy,
     "Replace the repeated nouns with pronouns.\n"
     "(1) Maria lost Maria's keys on the bus.\n"
     "(2) The children said the children were tired.",
     "",
     {{"Maria lost her keys on the bus.", ""}, {"The children said they were tired.", ""}}},
    {"1.3",
     Medium,
     "Give the comparative and the superlative of each word.\n"
     "(1) bad\n(2) far\n(3) little\n(4) careful",
     "",
     {{"worse, worst", ""},
      {"farther, farthest (further, furthest)", ""},
      {"less, least", ""},
      {"more careful, most careful", ""}}},
    {"2.1",
     Hard,
     "Say whether each sentence is simple, compound, complex or compound-complex.\n"
     "(1) The rain stopped, and the children ran outside.\n"
     "(2) When the bell rang, the pupils who had finished left the room.\n"
     "(3) My brother, a keen cyclist, rides to work every day.",
     "",
     {{"compound", ""}, {"complex", ""}, {"simple", ""}}},
    {"2.2",
     Medium,
     "Choose the correct verb and give the reason.\n"
     "(1) The scissors (is / are) sharp.\n"
     "(2) Mathematics (is / are) my favourite subject.\n"
     "(3) Everyone in the class (has / have) finished.",
     "",
     {{"are: scissors is a plural noun with no singular form.", ""},
      {"is: the name of a subject ending in -s is singular.", ""},
      {"has: everyone is a singular indefinite pronoun.", ""}}},
    {"3.1",
     Easy,
     "Form the words asked for.\n"
     "(1) the opposite of \"honest\"\n(2) a noun from \"happy\"\n(3) an adjective from "
     "\"danger\"\n(4) a verb from \"wide\"\n(5) an adverb from \"quick\"",
     "",
     {{"dishonest", ""}, {"happiness", ""}, {"dangerous", ""}, {"widen", ""}, {"quickly", ""}}},
    {"3.2",
     Hard,
     "Explain the difference between the words of each pair and use each word in a sentence.\n"
     "(1) complement / compliment\n(2) stationary / stationery",
     "",
     {{"A complement completes something (The wine is a perfect complement to the meal); a "
       "compliment is praise (She paid me a compliment).",
       ""},
      {"Stationary means not moving (The car was stationary); stationery is paper, pens and "
       "envelopes (We ordered new stationery).",
       ""}}},
    {"4.4",
     Hard,
     "Read the article in the quoted document.\n"
     "(1) State its main idea in one sentence.\n"
     "(2) List three points that support it.\n"
     "(3) Write a summary of no more than 80 words.",
     "article_urban_gardens.doc",
     {{"Gardens on roofs and empty plots make cities greener and bring people together.", ""},
      {"They cool buildings and absorb rain; they grow fresh food; they give neighbours a shared "
       "project.",
       ""},
      {"See the model summary.", "summary_urban_gardens_model.doc"}}},
    {"5.2",
     Medium,
     "Read the story extract in the quoted document.\n"
     "(1) Who is the narrator?\n"
     "(2) Describe the setting in your own words.\n"
     "(3) What is the conflict of the extract?\n"
     "(4) Predict what happens next and give reasons.",
     "story_extract_station.doc",
     {{"A young woman waiting for her brother, telling the story in the first person.", ""},
      {"A small, empty railway station on a cold winter evening, with one dim lamp.", ""},
      {"She waits for a brother she has not seen for years and fears he will not come.", ""},
      {"Any reasoned prediction using clues from the text, e.g. the stranger is the brother.",
       ""}}},
    {"4.2",
     Hard,
     "Plan an essay on the question \"Should university education be free?\"\n"
     "(1) Write a thesis statement.\n"
     "(2) Give two arguments for and one against.\n"
     "(3) Write the introduction.",
     "",
     {{"University education should be free, because it benefits the whole of society and not "
       "only the student.",
       ""},
      {"For: equal opportunity for poorer students; a better-educated workforce. Against: the "
       "cost falls on taxpayers who did not study.",
       ""},
      {"See the model introduction.", "essay_free_university_intro.doc"}}},
};

// Two saved papers, by position in the tables above, so the saved-papers
// page has something to show.
struct PaperQuestion {
    int typeId;
    int index; // position in that type's table, from 0
    int mark;
};

const PaperQuestion kMidTermQuestions[] = {
    {1, 0, 2},  {1, 3, 2},  {1, 7, 2},  {1, 12, 2}, {1, 14, 2}, {1, 16, 2}, {1, 18, 2},
    {1, 20, 2}, {1, 22, 2}, {1, 25, 2}, {2, 0, 4},  {2, 2, 4},  {2, 5, 4},  {2, 9, 4},
    {2, 11, 4}, {3, 0, 5},  {3, 6, 5},  {5, 5, 15}, {4, 0, 15}, {6, 0, 20},
};
const PaperQuestion kRevisionQuestions[] = {
    {1, 1, 4},  {1, 4, 4},  {1, 10, 4}, {1, 13, 4}, {1, 23, 4}, {2, 1, 5},  {2, 7, 5},
    {2, 12, 5}, {2, 13, 5}, {3, 1, 10}, {3, 7, 10}, {5, 1, 20}, {4, 2, 20},
};

struct Paper {
    const char* sjdh;
    const char* creator;
    const PaperQuestion* questions;
    std::size_t count;
};

const Paper kPapers[] = {
    {"2026-11-20 09:15:00", "admin", kMidTermQuestions, std::size(kMidTermQuestions)},
    {"2026-12-04 14:30:00", "lecturer", kRevisionQuestions, std::size(kRevisionQuestions)},
};

// The difficulty text a save gives a paper: marks of easy questions count
// once, medium twice, hard three times.
QString paperDifficulty(int weight) {
    if (weight >= 191)
        return QStringLiteral("Hard");
    if (weight <= 109)
        return QStringLiteral("Easy");
    return QStringLiteral("Medium");
}

QString u(const char* text) {
    return QString::fromUtf8(text);
}

QString itemText(const Chapter& c) {
    return db::chapterItemText(u(c.code), u(c.name));
}

// The chapter reference of a question: the item text of its chapter row.
QString cz(const char* code) {
    for (const Chapter& c : kChapters)
        if (qstrcmp(c.code, code) == 0)
            return itemText(c);
    throw std::logic_error(std::string("demo question filed under unknown chapter ") + code);
}

void requireDifficulty(int ny) {
    if (ny != Easy && ny != Medium && ny != Hard)
        throw std::logic_error("demo question with an unknown difficulty");
}

// Each quoted name must be one of the documents written into Doc/.
QString docName(const char* name) {
    const QString n = u(name);
    if (n.isEmpty())
        return n;
    static const QSet<QString> known = [] {
        QSet<QString> s;
        for (const DemoDocument& d : demoDocuments())
            s.insert(d.fileName);
        return s;
    }();
    if (!known.contains(n))
        throw std::logic_error("demo question quotes a document that is not written: " +
                               n.toStdString());
    return n;
}

int blankCount(const QString& tm) {
    static const QRegularExpression runs(QStringLiteral("_{2,}"));
    int n = 0;
    for (auto it = runs.globalMatch(tm); it.hasNext(); it.next())
        ++n;
    return n;
}

void writeChapters(db::Connection& c, DemoSummary& s) {
    db::Query q(&c);
    q.setSql(QStringLiteral("INSERT INTO ZhangJie (ZJ, ZJName) VALUES (:ZJ, :ZJName)"));
    for (int i = 0; i < kChapterCount; ++i) {
        const Chapter& ch = kChapters[(i * kStorageStride) % kChapterCount];
        q.bindText(QStringLiteral("ZJ"), u(ch.code));
        q.bindText(QStringLiteral("ZJName"), u(ch.name));
        q.execSql();
        ++(std::strchr(ch.code, '.') ? s.sections : s.chapters);
    }
}

void writeChoices(db::Connection& c) {
    db::Query q(&c);
    q.setSql(QStringLiteral("INSERT INTO XuanZeTi (TypeID, TM, A, B, C, D, DA, CZ, NY) "
                            "VALUES (1, :TM, :A, :B, :C, :D, :DA, :CZ, :NY)"));
    for (const Choice& x : kChoices) {
        requireDifficulty(x.ny);
        if (QByteArray("ABCD").indexOf(x.da) < 0 || qstrlen(x.da) != 1)
            throw std::logic_error("demo multiple-choice answer is not a letter A to D");
        q.bindText(QStringLiteral("TM"), u(x.tm));
        q.bindText(QStringLiteral("A"), u(x.a));
        q.bindText(QStringLiteral("B"), u(x.b));
        q.bindText(QStringLiteral("C"), u(x.c));
        q.bindText(QStringLiteral("D"), u(x.d));
        q.bindText(QStringLiteral("DA"), u(x.da));
        q.bindText(QStringLiteral("CZ"), cz(x.section));
        q.bindInt(QStringLiteral("NY"), x.ny);
        q.execSql();
    }
}

void writeBlanks(db::Connection& c) {
    db::Query q(&c);
    q.setSql(QStringLiteral("INSERT INTO TianKong (TypeID, TM, K1, K2, K3, K4, K5, YTS, NY, CZ) "
                            "VALUES (2, :TM, :K1, :K2, :K3, :K4, :K5, :YTS, :NY, :CZ)"));
    for (const Blanks& x : kBlanks) {
        requireDifficulty(x.ny);
        int yts = 0;
        while (yts < 5 && x.k[yts])
            ++yts;
        if (yts == 0 || blankCount(u(x.tm)) != yts)
            throw std::logic_error("demo fill-in-blank question whose blanks and answers differ");
        q.bindText(QStringLiteral("TM"), u(x.tm));
        for (int i = 0; i < 5; ++i)
            q.bindText(QStringLiteral("K%1").arg(i + 1), u(i < yts ? x.k[i] : ""));
        q.bindInt(QStringLiteral("YTS"), yts);
        q.bindInt(QStringLiteral("NY"), x.ny);
        q.bindText(QStringLiteral("CZ"), cz(x.section));
        q.execSql();
    }
}

template <std::size_t N>
void writeAnswered(db::Connection& c, const char* table, int typeId, const Answered (&rows)[N]) {
    db::Query q(&c);
    q.setSql(
        QStringLiteral("INSERT INTO %1 (TypeID, TM, DA, NY, CZ) VALUES (:T, :TM, :DA, :NY, :CZ)")
            .arg(QLatin1String(table)));
    for (const Answered& x : rows) {
        requireDifficulty(x.ny);
        q.bindInt(QStringLiteral("T"), typeId);
        q.bindText(QStringLiteral("TM"), u(x.tm));
        q.bindText(QStringLiteral("DA"), u(x.da));
        q.bindInt(QStringLiteral("NY"), x.ny);
        q.bindText(QStringLiteral("CZ"), cz(x.section));
        q.execSql();
    }
}

void writeDesigns(db::Connection& c) {
    db::Query q(&c);
    q.setSql(QStringLiteral("INSERT INTO XiTongSheJi (TypeID, TM, DA, NY, CZ, DABG, TMBG) "
                            "VALUES (4, :TM, :DA, :NY, :CZ, :DABG, :TMBG)"));
    for (const Design& x : kDesigns) {
        requireDifficulty(x.ny);
        q.bindText(QStringLiteral("TM"), u(x.tm));
        q.bindText(QStringLiteral("DA"), u(x.da));
        q.bindInt(QStringLiteral("NY"), x.ny);
        q.bindText(QStringLiteral("CZ"), cz(x.section));
        q.bindText(QStringLiteral("DABG"), docName(x.dabg));
        q.bindText(QStringLiteral("TMBG"), docName(x.tmbg));
        q.execSql();
    }
}

void writeOperations(db::Connection& c) {
    db::Query q(&c);
    q.setSql(QStringLiteral(
        "INSERT INTO XiTongCZ (TypeID, TM, NY, CZ, W1DA, W1DABG, W2DA, W2DABG, W3DA, W3DABG, "
        "W4DA, W4DABG, W5DA, W5DABG, WTS, TMBG) VALUES (6, :TM, :NY, :CZ, :W1DA, :W1DABG, :W2DA, "
        ":W2DABG, :W3DA, :W3DABG, :W4DA, :W4DABG, :W5DA, :W5DABG, :WTS, :TMBG)"));
    for (const Operation& x : kOperations) {
        requireDifficulty(x.ny);
        int wts = 0;
        while (wts < 5 && x.parts[wts].da)
            ++wts;
        if (wts == 0)
            throw std::logic_error("demo type 6 question without sub-questions");
        q.bindText(QStringLiteral("TM"), u(x.tm));
        q.bindInt(QStringLiteral("NY"), x.ny);
        q.bindText(QStringLiteral("CZ"), cz(x.section));
        for (int i = 0; i < 5; ++i) {
            const bool used = i < wts;
            q.bindText(QStringLiteral("W%1DA").arg(i + 1), u(used ? x.parts[i].da : ""));
            q.bindText(QStringLiteral("W%1DABG").arg(i + 1),
                       used ? docName(x.parts[i].dabg) : QString());
        }
        q.bindInt(QStringLiteral("WTS"), wts);
        q.bindText(QStringLiteral("TMBG"), docName(x.tmbg));
        q.execSql();
    }
}

// The number and difficulty of a question given by its table position.
struct Found {
    qint64 bh;
    int ny;
};

Found findQuestion(db::Connection& c, int typeId, int index) {
    const char* table = nullptr;
    const char* tm = nullptr;
    auto pick = [&](const char* t, const auto& rows) {
        table = t;
        if (index >= 0 && index < static_cast<int>(std::size(rows)))
            tm = rows[index].tm;
    };
    switch (typeId) {
    case 1:
        pick("XuanZeTi", kChoices);
        break;
    case 2:
        pick("TianKong", kBlanks);
        break;
    case 3:
        pick("JianDaTi", kShortAnswers);
        break;
    case 4:
        pick("XiTongSheJi", kDesigns);
        break;
    case 5:
        pick("YuanLiLunShu", kEssays);
        break;
    case 6:
        pick("XiTongCZ", kOperations);
        break;
    default:
        break;
    }
    if (!tm)
        throw std::logic_error("demo paper names a question that does not exist");
    db::Query q(&c);
    q.setSql(QStringLiteral("SELECT BH, NY FROM %1 WHERE TM=:TM").arg(QLatin1String(table)));
    q.bindText(QStringLiteral("TM"), u(tm));
    q.open();
    if (q.recordCount() != 1)
        throw std::logic_error("demo paper question not found once in its table");
    return {q.fieldInt(QStringLiteral("BH")), static_cast<int>(q.fieldInt(QStringLiteral("NY")))};
}

void writePapers(db::Connection& c, DemoSummary& s) {
    db::Query sj(&c);
    sj.setSql(QStringLiteral("INSERT INTO SJ (SJDH, CJLS, ND) VALUES (:SJDH, :CJLS, :ND)"));
    db::Query sjt(&c);
    sjt.setSql(
        QStringLiteral("INSERT INTO SJT (SJDH, TypeID, BH, FZ) VALUES (:SJDH, :T, :BH, :FZ)"));
    for (const Paper& p : kPapers) {
        int weight = 0;
        for (std::size_t i = 0; i < p.count; ++i) {
            const PaperQuestion& pq = p.questions[i];
            const Found f = findQuestion(c, pq.typeId, pq.index);
            weight += pq.mark * (f.ny - Easy + 1);
            sjt.bindText(QStringLiteral("SJDH"), u(p.sjdh));
            sjt.bindInt(QStringLiteral("T"), pq.typeId);
            sjt.bindInt(QStringLiteral("BH"), f.bh);
            sjt.bindInt(QStringLiteral("FZ"), pq.mark);
            sjt.execSql();
        }
        sj.bindText(QStringLiteral("SJDH"), u(p.sjdh));
        sj.bindText(QStringLiteral("CJLS"), u(p.creator));
        sj.bindText(QStringLiteral("ND"), paperDifficulty(weight));
        sj.execSql();
        ++s.papers;
    }
}

} // namespace

int DemoSummary::totalQuestions() const {
    int n = 0;
    for (int t = 1; t <= 6; ++t)
        n += questions[t];
    return n;
}

QString demoCourseName() {
    return QStringLiteral("English Language and Composition");
}
QString demoLecturerName() {
    return QStringLiteral("lecturer");
}
QString demoLecturerPassword() {
    return QStringLiteral("lecturer");
}

DemoSummary writeDemoCourse(db::Connection& connection) {
    DemoSummary s;
    writeChapters(connection, s);
    writeChoices(connection);
    writeBlanks(connection);
    writeAnswered(connection, "JianDaTi", 3, kShortAnswers);
    writeAnswered(connection, "YuanLiLunShu", 5, kEssays);
    writeDesigns(connection);
    writeOperations(connection);
    s.questions[1] = static_cast<int>(std::size(kChoices));
    s.questions[2] = static_cast<int>(std::size(kBlanks));
    s.questions[3] = static_cast<int>(std::size(kShortAnswers));
    s.questions[4] = static_cast<int>(std::size(kDesigns));
    s.questions[5] = static_cast<int>(std::size(kEssays));
    s.questions[6] = static_cast<int>(std::size(kOperations));
    writePapers(connection, s);

    db::Query q(&connection);
    q.setSql(QStringLiteral("INSERT INTO YH (UserName, Password, QXID) VALUES (:Name, :Pw, 0)"));
    q.bindText(QStringLiteral("Name"), demoLecturerName());
    q.bindText(QStringLiteral("Pw"), demoLecturerPassword());
    q.execSql();
    return s;
}

} // namespace tolvane::bank
